#include "engine/file_version.h"

#include <cstdint>
#include <string>

#include "engine/pe_reader.h"
#include "platform/file_system.h"

namespace folvane {

namespace {

// An open file as a byte source; reads go to their offset and never load the whole file.
class FileSource final : public ByteSource {
  public:
    explicit FileSource(FileReader& reader) : reader_(reader) {}

    uint64_t Size() const override {
        return reader_.Length() > 0 ? static_cast<uint64_t>(reader_.Length()) : 0;
    }

    bool ReadExact(uint64_t offset, void* buffer, std::size_t size) override {
        auto* bytes = static_cast<unsigned char*>(buffer);
        while (size > 0) {
            if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
            const std::ptrdiff_t n = reader_.ReadAt(static_cast<int64_t>(offset), bytes, size);
            // 0 means the file is shorter now than when it was opened.
            if (n <= 0) return false;
            bytes += n;
            offset += static_cast<uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

  private:
    FileReader& reader_;
};

}  // namespace

std::optional<FileVersionWords> ReadFileVersion(FileReader& file) {
    FileSource source(file);
    return ReadPeVersion(source);
}

std::optional<FileVersionWords> ReadFileVersion(std::string_view path) {
    FileReader reader;
    if (!reader.Open(path)) return std::nullopt;
    return ReadFileVersion(reader);
}

std::string FormatFileVersion(const FileVersionWords& words) {
    // The major number is the high half of MS for every MS. Dividing MS as a signed number by
    // 65536 gives the same below 0x80000000, but above it the quotient turns negative and,
    // truncated toward zero, is one off whenever the low half is not zero.
    const uint32_t major = words.ms >> 16;
    const uint32_t minor = words.ms & 0xFFFFu;
    // The whole LS word is the third number, read as signed: 4.0.1.0 shows as 4.00.65536.
    const int32_t third = static_cast<int32_t>(words.ls);
    std::string text = std::to_string(major);
    text += minor < 10 ? ".0" : ".";
    text += std::to_string(minor);
    text += '.';
    text += std::to_string(third);
    return text;
}

std::string FileVersionText(std::string_view path) {
    const auto words = ReadFileVersion(path);
    return words ? FormatFileVersion(*words) : std::string();
}

std::string FileVersionText(FileReader& file) {
    const auto words = ReadFileVersion(file);
    return words ? FormatFileVersion(*words) : std::string();
}

}  // namespace folvane
