#pragma once
// The file version recorded in a Windows executable's version resource (PE files: .exe, .dll
// and the like), read by our own portable reader, so every host shows the same text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace folvane {

// The two file-version words of the fixed file information record.
struct FileVersionWords {
    uint32_t ms = 0;
    uint32_t ls = 0;
};

// The file version of the PE image at path; nullopt for anything that is not a well-formed PE
// file with a version resource. Reads only inside the file and checks every offset.
std::optional<FileVersionWords> ReadFileVersion(std::string_view path);
// The same of a file open for reading (read at offsets; its position does not matter).
std::optional<FileVersionWords> ReadFileVersion(FileReader& file);

// major "." minor (at least two digits) "." LS as a signed number: 1.8.0.0 gives "1.08.0".
std::string FormatFileVersion(const FileVersionWords& words);

// The version text of the file at path, or "" when it has none.
std::string FileVersionText(std::string_view path);
std::string FileVersionText(FileReader& file);

}  // namespace folvane
