// CRC-32 by carry-less multiplication: the data is folded 64 bytes at a time into four 128-bit
// remainders, those into one, and that one is reduced to 32 bits with a Barrett reduction.
//
// Arithmetic is over polynomials with coefficients 0 and 1, modulo P = x^32 + x^26 + ... + 1
// (0x104C11DB7). The CRC is reflected: the first bit of the data (bit 0 of its first byte) is
// the highest power. Sixteen bytes loaded into a 128-bit register therefore hold the
// coefficient of x^(127-t) in bit t. A carry-less product of one 64-bit lane (bit i: x^(63-i))
// and a constant whose bit j holds x^(32-j) lands with bit t holding x^(95-t): read as a 128-bit
// value it is the product times x^32. That is why every folding constant below is some
// x^n mod P bit-reflected and shifted left by one bit, with n = distance +/- 32.
//
// Only this file's x86 functions use the instructions, through a target attribute, so the rest
// of the program keeps the baseline instruction set and runs on processors without them.

#include "engine/crc32_methods.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace folvane {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// The kernel's helpers: always inlined into it, with the instructions it may use.
#define KERNEL_HELPER __attribute__((target("pclmul,sse4.1"), always_inline)) inline

// 32-bit Windows keeps the stack aligned to 4 bytes only, and the compiler may give 16-byte
// spills of the kernel an instruction that faults on less: the kernel aligns its own frame.
#if defined(__i386__)
#define KERNEL_FRAME __attribute__((force_align_arg_pointer))
#else
#define KERNEL_FRAME
#endif

constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;

// x^n mod P, bit-reflected into bits 1..32.
constexpr uint64_t XPowerModP(int n) {
    uint32_t reg = 0x80000000u;  // x^0
    for (int i = 0; i < n; ++i)
        reg = (reg >> 1) ^ ((reg & 1u) != 0 ? kReflectedPolynomial : 0u);
    return uint64_t{reg} << 1;
}

// floor(x^64 / P), bit-reflected over its 33 bits, for the Barrett reduction.
constexpr uint64_t BarrettQuotient() {
    constexpr uint64_t kPolynomial = 0x104C11DB7u;
    uint64_t remainder = 0;
    uint64_t quotient = 0;
    for (int bit = 64; bit >= 0; --bit) {
        remainder = (remainder << 1) | (bit == 64 ? 1u : 0u);
        const bool subtract = (remainder >> 32) != 0;
        if (subtract) remainder ^= kPolynomial;
        quotient = (quotient << 1) | (subtract ? 1u : 0u);
    }
    uint64_t reflected = 0;
    for (int bit = 0; bit < 33; ++bit)
        reflected |= ((quotient >> bit) & 1u) << (32 - bit);
    return reflected;
}

// A 128-bit remainder moved on by 512 bits (four registers), and by 128 bits (one register):
// its low lane holds the powers x^127..x^64, its high lane x^63..x^0.
constexpr uint64_t kFourLow = XPowerModP(512 + 32);
constexpr uint64_t kFourHigh = XPowerModP(512 - 32);
constexpr uint64_t kOneLow = XPowerModP(128 + 32);
constexpr uint64_t kOneHigh = XPowerModP(128 - 32);
// 96 bits to 64: the top 32 bits moved on by 64 bits.
constexpr uint64_t kX64 = XPowerModP(64);
constexpr uint64_t kQuotient = BarrettQuotient();
constexpr uint64_t kPolynomialReflected = (uint64_t{kReflectedPolynomial} << 1) | 1u;  // P over 33 bits
static_assert(kFourLow == 0x154442BD4u && kOneHigh == 0x0CCAA009Eu && kQuotient == 0x1F7011641u);

KERNEL_HELPER __m128i Lanes(uint64_t high, uint64_t low) {
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

// remainder * x^distance + next, with the two constants of that distance in constants.
KERNEL_HELPER __m128i FoldOnto(__m128i remainder, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(remainder, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(remainder, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

KERNEL_HELPER __m128i Load(const unsigned char* data) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// The register (not yet complemented) of the CRC whose 128-bit remainder is a: a * x^32 mod P.
KERNEL_HELPER uint32_t Reduce(__m128i a) {
    const __m128i low32 = _mm_setr_epi32(-1, 0, 0, 0);
    // 128 bits to 96: the low lane times x^96, plus the high lane times x^32 (a shift).
    const __m128i reduce = Lanes(kX64, kOneHigh);
    const __m128i b = _mm_xor_si128(_mm_clmulepi64_si128(a, reduce, 0x00), _mm_srli_si128(a, 8));
    // 96 bits to 64: the top 32 bits (now in bits 0..31) times x^64.
    const __m128i c =
        _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(b, low32), reduce, 0x10), _mm_srli_si128(b, 4));
    // Barrett: q = floor(top 32 bits * floor(x^64 / P) / x^32); c mod P = c + q * P, whose low
    // 32 powers land in bits 32..63.
    const __m128i barrett = Lanes(kPolynomialReflected, kQuotient);
    const __m128i q = _mm_clmulepi64_si128(_mm_and_si128(c, low32), barrett, 0x00);
    const __m128i qp = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x10);
    // A 32-bit extract: i686 has no 64-bit one.
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(c, qp), 1));
}

KERNEL_FRAME __attribute__((target("pclmul,sse4.1"))) uint32_t FoldBlocks(uint32_t crc,
                                                                          const unsigned char* data,
                                                                          std::size_t blocks) {
    const __m128i fourBlocks = Lanes(kFourHigh, kFourLow);
    const __m128i oneBlock = Lanes(kOneHigh, kOneLow);
    // The register's preset goes into the first 32 bits of the data.
    __m128i a0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(~crc)));
    __m128i a1 = Load(data + 16);
    __m128i a2 = Load(data + 32);
    __m128i a3 = Load(data + 48);
    for (data += 64, blocks -= 4; blocks >= 4; data += 64, blocks -= 4) {
        a0 = FoldOnto(a0, fourBlocks, Load(data));
        a1 = FoldOnto(a1, fourBlocks, Load(data + 16));
        a2 = FoldOnto(a2, fourBlocks, Load(data + 32));
        a3 = FoldOnto(a3, fourBlocks, Load(data + 48));
    }
    __m128i a = FoldOnto(FoldOnto(FoldOnto(a0, oneBlock, a1), oneBlock, a2), oneBlock, a3);
    for (; blocks > 0; data += 16, --blocks)
        a = FoldOnto(a, oneBlock, Load(data));
    return ~Reduce(a);
}

#undef KERNEL_HELPER
#undef KERNEL_FRAME

}  // namespace

Crc32BlockKernel CarrylessMultiplyKernel() {
    // Safe before the run-time library's own start-up code has run, e.g. in static initialisers.
    __builtin_cpu_init();
    const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported ? &FoldBlocks : nullptr;
}

#else

// Other processors: the tables only.
Crc32BlockKernel CarrylessMultiplyKernel() {
    return nullptr;
}

#endif

}  // namespace folvane
