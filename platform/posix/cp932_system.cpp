#include "platform/cp932_system.h"

#include <iconv.h>

#include <array>
#include <string_view>
#include <utility>

namespace folvane {

namespace {

// glibc's name for code page 932 as Windows defines it (NEC and IBM extensions included).
constexpr const char* kCodePage = "CP932";
// Little-endian UTF-32 has no byte-order mark, so one character is always exactly four bytes.
constexpr const char* kUnicode = "UTF-32LE";

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

// One iconv conversion descriptor. Closing is explicit through Close(), which reports failure;
// the destructor closes whatever is still open and has nobody to tell.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvHandle() { Close(); }

    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    IconvHandle(IconvHandle&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}
    IconvHandle& operator=(IconvHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, kNoHandle);
        }
        return *this;
    }

    bool IsOpen() const { return handle_ != kNoHandle; }

    // Closes the descriptor; false when iconv_close fails. Closing a closed handle succeeds.
    bool Close() {
        if (!IsOpen()) return true;
        return iconv_close(std::exchange(handle_, kNoHandle)) == 0;
    }

    // Converts the whole of input in one go; nullopt when the converter stops early (a character
    // it cannot convert, an incomplete sequence). Every call ends in the initial shift state,
    // so a failure never leaks into the next call.
    std::optional<std::string> Convert(std::string_view input) const {
        if (!IsOpen()) return std::nullopt;
        // Text of one or two characters never needs more than a few bytes in either direction.
        std::array<char, 16> output{};
        char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write input
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
        const bool flushed = iconv(handle_, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
        if (result == static_cast<std::size_t>(-1) || inLeft != 0 || !flushed) {
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            return std::nullopt;
        }
        return std::string(output.data(), out);
    }

  private:
    iconv_t handle_ = kNoHandle;
};

// The two converters of the calling thread, opened on first use and kept for the thread's
// lifetime: opening a converter costs far more than converting one character, and the tables
// are built with tens of thousands of calls. A descriptor must not be shared between threads.
struct ThreadConverters {
    IconvHandle encoder{kCodePage, kUnicode};
    IconvHandle decoder{kUnicode, kCodePage};
};

ThreadConverters& Converters() {
    thread_local ThreadConverters converters;
    return converters;
}

std::string ToUtf32Le(char32_t c) {
    std::string bytes(4, '\0');
    for (int k = 0; k < 4; ++k)
        bytes[k] = static_cast<char>((c >> (8 * k)) & 0xFF);
    return bytes;
}

char32_t FromUtf32Le(std::string_view bytes) {
    char32_t c = 0;
    for (int k = 3; k >= 0; --k)
        c = (c << 8) | static_cast<unsigned char>(bytes[k]);
    return c;
}

}  // namespace

std::optional<std::string> SystemCp932Encode(char32_t c) {
    // Surrogates and values beyond U+10FFFF are no characters; the UTF-32 decoder rejects them.
    return Converters().encoder.Convert(ToUtf32Le(c));
}

std::optional<char32_t> SystemCp932Decode(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 2) return std::nullopt;
    const auto decoded = Converters().decoder.Convert(bytes);
    // Exactly one character: "AB" is two characters, not one.
    if (!decoded || decoded->size() != 4) return std::nullopt;
    return FromUtf32Le(*decoded);
}

}  // namespace folvane
