#pragma once
// The ways to compute the CRC-32 of engine/crc32.h. Crc32Update picks the fastest one this
// processor has, once; tests and benchmarks name a method to check or time each on its own.

#include <cstddef>
#include <cstdint>

namespace folvane {

enum class Crc32Method {
    SlicedTables,       // sixteen look-up tables; runs everywhere
    CarrylessMultiply,  // x86 carry-less multiplication (PCLMULQDQ with SSE4.1)
};

// Whether this processor and this build can run method. The tables always can.
bool Crc32MethodAvailable(Crc32Method method);

// The method Crc32Update uses.
Crc32Method Crc32ChosenMethod();

// Crc32Update computed by method; a method that is not available gives the tables' result.
uint32_t Crc32UpdateBy(Crc32Method method, uint32_t crc, const void* data, std::size_t size);

// The carry-less multiplication kernel: like Crc32Update over blocks * 16 bytes at data, for
// blocks >= 4.
using Crc32BlockKernel = uint32_t (*)(uint32_t crc, const unsigned char* data, std::size_t blocks);

// The kernel when this processor and build have it, else null.
Crc32BlockKernel CarrylessMultiplyKernel();

}  // namespace folvane
