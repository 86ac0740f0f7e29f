// Code page 932 as Windows converts it: WideCharToMultiByte without best-fit characters, so a
// character the code page cannot hold is reported instead of being replaced by a look-alike,
// and MultiByteToWideChar that refuses undefined bytes.

#include "platform/cp932_system.h"

#include <windows.h>

namespace folvane {

namespace {

constexpr UINT kCodePage = 932;

}  // namespace

std::optional<std::string> SystemCp932Encode(char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    wchar_t units[2];
    int count = 1;
    if (c < 0x10000) {
        units[0] = static_cast<wchar_t>(c);
    } else {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    return std::string(bytes, static_cast<std::size_t>(length));
}

std::optional<char32_t> SystemCp932Decode(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 2) return std::nullopt;
    wchar_t units[4];
    const int count = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                          static_cast<int>(bytes.size()), units, 4);
    // Exactly one character of the Basic Multilingual Plane: "AB" is two characters.
    if (count != 1) return std::nullopt;
    return static_cast<char32_t>(static_cast<uint16_t>(units[0]));
}

}  // namespace folvane
