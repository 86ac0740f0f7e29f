// Reading a whole file, on every host, through FileReader.

#include <new>
#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace folvane {

std::optional<std::string> ReadWholeFile(std::string_view path, int64_t maxBytes) {
    FileReader file;
    if (!file.Open(path) || file.Length() > maxBytes) return std::nullopt;
    std::string content;
    try {
        content.reserve(static_cast<std::size_t>(file.Length()));
        // To the end, however the length has changed since the file was opened.
        char block[65536];
        for (;;) {
            const std::ptrdiff_t count = file.Read(block, sizeof block);
            if (count < 0) return std::nullopt;
            if (count == 0) break;
            if (static_cast<int64_t>(content.size()) + count > maxBytes) return std::nullopt;
            content.append(block, static_cast<std::size_t>(count));
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;  // a file larger than memory cannot be read whole
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    // Everything has been read; a failing close of a read-only descriptor loses nothing.
    file.Close();
    return content;
}

}  // namespace folvane
