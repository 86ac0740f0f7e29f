#include "tests/support/posix/fifo_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace folvane::testing {

FifoWriter::FifoWriter(const std::string& hostPath) : path_(hostPath) {
    std::remove(path_.c_str());
    if (mkfifo(path_.c_str(), 0600) != 0) return;
    writer_ = fork();
    if (writer_ == 0) {
        const int fd = open(path_.c_str(), O_WRONLY);
        _exit(fd >= 0 && write(fd, "x", 1) == 1 ? 0 : 1);
    }
}

FifoWriter::~FifoWriter() {
    if (writer_ <= 0) return;
    const int reader = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    int status = 0;
    waitpid(writer_, &status, 0);
    if (reader >= 0) close(reader);
}

bool FifoWriter::StillWaiting() const {
    if (writer_ <= 0) return false;
    usleep(50000);
    int status = 0;
    return waitpid(writer_, &status, WNOHANG) == 0;
}

}  // namespace folvane::testing
