#pragma once
// Shared pieces of the libFuzzer harnesses: taking an input apart and reporting a broken
// invariant. A broken invariant prints what was expected and traps, which libFuzzer records as
// a crash together with the input that caused it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <type_traits>

namespace folvane::fuzz {

// Printable form of a text for a failure report: bytes outside printable ASCII as \xNN.
inline std::string Visible(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

[[noreturn]] inline void Fail(std::string_view invariant, std::string_view details = {}) {
    std::fprintf(stderr, "\n== broken invariant: %.*s\n", static_cast<int>(invariant.size()),
                 invariant.data());
    if (!details.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(details.size()), details.data());
    std::fflush(stderr);
    __builtin_trap();
}

inline void Require(bool holds, std::string_view invariant) {
    if (!holds) Fail(invariant);
}

// The details are only made when the invariant is broken: details() gives the report's text.
template <typename Details>
void Require(bool holds, std::string_view invariant, Details&& details) {
    if (!holds) Fail(invariant, details());
}

// Two texts that must be equal; the report shows both, after what context() gives.
template <typename Context>
void RequireEqual(std::string_view actual, std::string_view expected, std::string_view invariant,
                  Context&& context) {
    if (actual != expected) {
        Fail(invariant,
             context() + "actual:   \"" + Visible(actual) + "\"\nexpected: \"" + Visible(expected) + "\"");
    }
}

inline void RequireEqual(std::string_view actual, std::string_view expected, std::string_view invariant) {
    RequireEqual(actual, expected, invariant, [] { return std::string(); });
}

// A fresh temporary folder for the harness's whole run, removed when the process ends normally
// (it is left after a crash). Only one per process.
inline std::filesystem::path MakeScratchFolder(std::string_view harness) {
    static std::filesystem::path folder;
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("folvane-fuzz-" + std::string(harness) + "-XXXXXX"))
            .string();
    if (!folder.empty() || mkdtemp(pattern.data()) == nullptr) Fail("one scratch folder for the harness");
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    return folder;
}

// The input taken apart from the front: fixed-size numbers and pieces up to a separator byte.
class Input {
  public:
    Input(const uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string_view Rest() const { return rest_; }
    bool Empty() const { return rest_.empty(); }

    // The next byte, 0 when the input is used up.
    uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto byte = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    // A little-endian integer of sizeof(T) bytes; missing bytes count as zero.
    template <typename T>
    T Number() {
        using Unsigned = std::make_unsigned_t<T>;
        Unsigned value = 0;
        for (std::size_t k = 0; k < sizeof(T); ++k)
            value = static_cast<Unsigned>(value | static_cast<Unsigned>(Unsigned{Byte()} << (8 * k)));
        T result;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

    // The text up to the next separator byte (which is dropped), or all the rest.
    std::string_view Piece(char separator) {
        const std::size_t end = rest_.find(separator);
        const std::string_view piece = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return piece;
    }

  private:
    std::string_view rest_;
};

}  // namespace folvane::fuzz
