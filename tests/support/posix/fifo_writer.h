#pragma once
// A process that opens a FIFO for writing and so waits until something opens it for reading:
// while it still waits, nothing has opened the FIFO.

#include <string>

#include <sys/types.h>

namespace folvane::testing {

class FifoWriter {
  public:
    // Makes a FIFO at hostPath (replacing a file there) and starts the writer on it.
    explicit FifoWriter(const std::string& hostPath);
    // Lets the writer finish by opening the FIFO for reading.
    ~FifoWriter();
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    // True while the writer still waits for a reader (checked after a short pause, so that a
    // reader that has come and gone has had time to release it).
    bool StillWaiting() const;

  private:
    std::string path_;
    pid_t writer_ = -1;
};

}  // namespace folvane::testing
