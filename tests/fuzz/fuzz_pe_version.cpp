// The PE version-resource reader over an in-memory image. The byte source traps on any read
// that reaches outside the image, so a read out of bounds is a crash even where it would not
// touch unmapped memory. The answer is a function of the bytes (a second reading gives the same
// one), and every read on the way to it matters: when one of them fails, there is no answer.

#include <cstring>
#include <optional>
#include <string>

#include "engine/file_version.h"
#include "engine/pe_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {
namespace {

class ImageSource : public ByteSource {
  public:
    ImageSource(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    uint64_t Size() const override { return size_; }

    bool ReadExact(uint64_t offset, void* buffer, std::size_t size) override {
        if (offset > size_ || size > size_ - offset) {
            Fail("every read lies inside the image", "offset " + std::to_string(offset) + ", " +
                                                         std::to_string(size) + " bytes of " +
                                                         std::to_string(size_));
        }
        if (++reads_ == failingRead_) return false;
        if (size != 0) std::memcpy(buffer, data_ + offset, size);
        return true;
    }

    std::size_t Reads() const { return reads_; }
    // Makes the read with this number (1 for the first) fail; 0 lets every read succeed.
    void FailRead(std::size_t number) {
        failingRead_ = number;
        reads_ = 0;
    }

  private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t reads_ = 0;
    std::size_t failingRead_ = 0;
};

std::string Described(const std::optional<FileVersionWords>& words) {
    if (!words) return "none";
    return FormatFileVersion(*words) + " (" + std::to_string(words->ms) + "/" + std::to_string(words->ls) +
           ")";
}

void Check(const uint8_t* data, std::size_t size) {
    ImageSource source(data, size);
    const auto first = ReadPeVersion(source);
    const std::size_t reads = source.Reads();
    source.FailRead(0);
    RequireEqual(Described(ReadPeVersion(source)), Described(first),
                 "a second reading gives the same answer");
    if (reads > 0) {
        // Which read fails is picked from the image's size, so each input tests one of them.
        source.FailRead(1 + size % reads);
        RequireEqual(Described(ReadPeVersion(source)), "none", "a failed read leaves no answer");
    }
}

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    folvane::fuzz::Check(data, size);
    return 0;
}
