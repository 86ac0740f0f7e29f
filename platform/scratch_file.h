#pragma once
// An anonymous temporary file for data a run produces but need not keep in memory: it has no
// name in any folder, so nothing of it is left behind, not even after a crash.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace folvane {

// Not copyable; movable. The file disappears when the object does.
class ScratchFile {
  public:
    ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ScratchFile(ScratchFile&& other) noexcept;
    ScratchFile& operator=(ScratchFile&& other) noexcept;
    ~ScratchFile();

    // Makes the file in the system's folder for temporary files; false when none can be made.
    bool Create();
    bool IsOpen() const;
    // Writes bytes at offset, extending the file as needed; false on failure (a full disk).
    bool WriteAt(int64_t offset, std::string_view bytes);
    // Reads exactly size bytes at offset; false when they cannot all be read.
    bool ReadAt(int64_t offset, void* buffer, std::size_t size) const;

  private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

}  // namespace folvane
