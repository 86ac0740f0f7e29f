#pragma once
// Where a stream of bytes goes: an output file, a scratch file, a test's buffer.

#include <cstddef>
#include <string>
#include <string_view>

namespace folvane {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Takes bytes; false when they could not be taken (the stream is then of no further use).
    virtual bool Write(std::string_view bytes) = 0;
};

// Gathers small writes into blocks of about capacity bytes for the sink below, so that a
// listing written line by line costs one system call per block, not per line. Flush() hands
// on what is gathered; whatever is not flushed when it is destroyed is dropped.
class BufferedSink final : public ByteSink {
  public:
    explicit BufferedSink(ByteSink& below, std::size_t capacity = std::size_t{1} << 18)
        : below_(below), capacity_(capacity) {
        buffer_.reserve(capacity_);
    }
    bool Write(std::string_view bytes) override {
        if (failed_) return false;
        if (buffer_.size() + bytes.size() > capacity_ && !Flush()) return false;
        if (bytes.size() >= capacity_) return Pass(bytes);
        buffer_.append(bytes);
        return true;
    }
    bool Flush() {
        if (failed_) return false;
        const bool passed = buffer_.empty() || Pass(buffer_);
        buffer_.clear();
        return passed;
    }

  private:
    bool Pass(std::string_view bytes) {
        failed_ = !below_.Write(bytes);
        return !failed_;
    }

    ByteSink& below_;
    std::size_t capacity_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace folvane
