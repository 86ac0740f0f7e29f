// ScratchFile on POSIX: an unnamed file in the temporary folder (O_TMPFILE), or one that is
// unlinked as soon as it is made where the file system cannot make unnamed ones.

#include "platform/scratch_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/posix/host_open.h"

namespace folvane {

struct ScratchFile::Backend {
    HostDescriptor file;
};

namespace {

// TMPDIR when it names a folder, else /tmp.
std::string TemporaryFolder() {
    const char* named = std::getenv("TMPDIR");
    struct stat facts {};
    if (named != nullptr && named[0] == '/' && ::stat(named, &facts) == 0 && S_ISDIR(facts.st_mode))
        return named;
    return "/tmp";
}

HostDescriptor MakeUnnamedFile(const std::string& folder) {
#ifdef O_TMPFILE
    HostDescriptor file(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (file.IsOpen()) return file;
#endif
    std::string name = folder + "/.folvane-XXXXXX";
    HostDescriptor named(::mkostemp(name.data(), O_CLOEXEC));
    if (named.IsOpen()) ::unlink(name.c_str());
    return named;
}

}  // namespace

ScratchFile::ScratchFile() = default;
ScratchFile::ScratchFile(ScratchFile&& other) noexcept = default;
ScratchFile& ScratchFile::operator=(ScratchFile&& other) noexcept = default;
ScratchFile::~ScratchFile() = default;

bool ScratchFile::Create() {
    HostDescriptor file = MakeUnnamedFile(TemporaryFolder());
    if (!file.IsOpen()) return false;
    backend_ = std::make_unique<Backend>();
    backend_->file = std::move(file);
    return true;
}

bool ScratchFile::IsOpen() const {
    return backend_ != nullptr && backend_->file.IsOpen();
}

bool ScratchFile::WriteAt(int64_t offset, std::string_view bytes) {
    if (!IsOpen() || offset < 0) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(backend_->file.Get(), bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool ScratchFile::ReadAt(int64_t offset, void* buffer, std::size_t size) const {
    if (!IsOpen() || offset < 0) return false;
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(backend_->file.Get(), bytes, size, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

}  // namespace folvane
