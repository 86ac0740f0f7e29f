#pragma once
// CRC-32 straight from its definition, and reproducible random bytes, for the checksum tests.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace folvane::testing {

// The register after one more byte, bit by bit, straight from the definition; shares nothing
// with the tables or the folding.
inline uint32_t ReferenceStep(uint32_t reg, unsigned char byte) {
    reg ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
    return reg;
}

inline uint32_t ReferenceCrc(std::string_view data) {
    uint32_t reg = 0xFFFFFFFFu;
    for (unsigned char byte : data)
        reg = ReferenceStep(reg, byte);
    return ~reg;
}

inline std::string RandomBytes(size_t size, uint32_t seed = 1) {
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), std::mt19937(seed));
    return bytes;
}

}  // namespace folvane::testing
