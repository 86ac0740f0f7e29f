#pragma once
// Where a stream of bytes goes: an output file, a scratch file, a test's buffer.

#include <string_view>

namespace folvane {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Takes bytes; false when they could not be taken (the stream is then of no further use).
    virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace folvane
