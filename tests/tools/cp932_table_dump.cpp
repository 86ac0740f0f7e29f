// Prints the code page 932 tables as this build uses them: for every code point of the Basic
// Multilingual Plane its bytes, and for every byte and byte pair what it decodes to. The
// Windows and the Linux build must print the same, so that a listing has the same bytes on
// both; the cross-platform check compares the two outputs.

#include <cstdio>
#include <string>

#include "platform/cp932.h"

int main() {
    using folvane::Cp932Encode;
    for (char32_t c = 0; c < 0x10000; ++c) {
        const folvane::Cp932Char form = Cp932Encode(c);
        std::printf("U+%04X", static_cast<unsigned>(c));
        for (int k = 0; k < form.length; ++k)
            std::printf(" %02X", form.bytes[k]);
        std::printf("\n");
    }
    for (int first = 0; first < 256; ++first) {
        const int lastSecond = folvane::IsCp932LeadByte(static_cast<unsigned char>(first)) ? 255 : -1;
        for (int second = -1; second <= lastSecond; ++second) {
            std::string bytes(1, static_cast<char>(first));
            if (second >= 0) bytes += static_cast<char>(second);
            std::printf("%s <- %s\n", folvane::FromCp932(bytes).c_str(),
                        second >= 0 ? (std::to_string(first) + " " + std::to_string(second)).c_str()
                                    : std::to_string(first).c_str());
        }
    }
    return 0;
}
