#pragma once
// Backend-private: opening a regular file for reading without ever opening anything else. A
// FIFO opened for reading releases its waiting writer, and opening a device calls its driver
// (a tape rewinds), so the kind is checked on a descriptor that opens nothing (O_PATH) before
// the file itself is opened.

#include <sys/stat.h>

#include <functional>

#include "platform/file_system.h"
#include "platform/posix/host_open.h"

namespace folvane {

// Opens for reading the regular file that probe refers to (a descriptor from an O_PATH open),
// provided it has the identity expected (when given). openDirectly opens the same name with
// the flags it is given; it is used only where the file cannot be reached through probe (no
// /proc), and what it opens is checked again. seen receives the file's facts. Not open on failure.
HostDescriptor OpenRegularForReading(const HostDescriptor& probe, const FileIdentity* expected,
                                     const std::function<HostDescriptor(int flags)>& openDirectly,
                                     struct stat& seen);

// Back to ordinary blocking reads: some file systems (FUSE, network mounts) honour O_NONBLOCK
// on regular files and would answer EAGAIN.
void ClearNonBlocking(int fd);

#ifdef O_PATH
inline constexpr int kProbeFlags = O_PATH;
#else
// Without O_PATH the probe opens for reading, which O_NONBLOCK at least keeps from waiting.
inline constexpr int kProbeFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY;
#endif

}  // namespace folvane
