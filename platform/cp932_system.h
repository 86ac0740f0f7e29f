#pragma once
// The system's own code page 932 converter, one character at a time. The tables of cp932.h
// are built from it; tests compare the tables with it. Nothing else should call it.

#include <optional>
#include <string>

namespace folvane {

// The code page 932 bytes of c as the system converter gives them, or nullopt when the code
// page cannot hold c.
std::optional<std::string> SystemCp932Encode(char32_t c);

// The character that the system converter decodes from one code page 932 byte or byte pair
// (1 or 2 bytes), or nullopt when the bytes are not a complete defined character.
std::optional<char32_t> SystemCp932Decode(const std::string& bytes);

}  // namespace folvane
