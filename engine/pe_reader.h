#pragma once
// The file-version words of a Windows PE image (PE32 or PE32+), read from its version
// resource through positional reads of a byte source, so the image is never loaded whole.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/file_version.h"

namespace folvane {

// Random-access bytes of one image, such as an open file.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Length of the image in bytes.
    virtual uint64_t Size() const = 0;
    // Fills buffer with the size bytes at offset; false when any of them cannot be read.
    virtual bool ReadExact(uint64_t offset, void* buffer, std::size_t size) = 0;
};

// The file version of the version resource (type 16, its first name, first language) of the
// image in source; nullopt for anything that is not a well-formed PE image with one. Every
// offset, length and count is checked against the image, its sections and its resource area,
// and the directory walk has a fixed depth, so no input makes it read out of bounds or loop.
std::optional<FileVersionWords> ReadPeVersion(ByteSource& source);

}  // namespace folvane
