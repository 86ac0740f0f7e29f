#pragma once
// Text at the boundary of the wide-character ("W") API, Windows backend only. Windows names
// are sequences of 16-bit units that need not be well-formed UTF-16; the program holds them as
// UTF-8 in which a unit that belongs to no pair (a lone surrogate) is written as its own
// three-byte sequence, so every name survives the way there and back.

#include <windows.h>

#include <string>
#include <string_view>

namespace folvane {

// UTF-16 units of a program text: each code point as one unit or a pair; a lone surrogate
// (also an escape code point, text.h) as that one unit.
std::wstring WideFromUtf8(std::string_view utf8);

// The program text of UTF-16 units: pairs become their code point, a lone surrogate is kept.
std::string Utf8FromWide(std::wstring_view wide);

// The text of a query that fills a buffer and, when the buffer is too small, answers with the
// room it needs (GetFullPathNameW, GetCurrentDirectoryW, GetShortPathNameW and the like):
// query(buffer, size) returns the length written, 0 on failure. The answer may change between
// two calls (another thread sets the folder), so it is asked until it fits. "" on failure.
template <typename Query>
std::wstring GrowingWideQuery(Query query) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
    return L"";
}

}  // namespace folvane
