#include "engine/crc32.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "engine/crc32_methods.h"
#include "platform/file_system.h"

namespace folvane {

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

// Slicing by 16: table[0] is the classic byte table; table[k][b] is the register contribution
// of byte b followed by k zero bytes, so sixteen bytes fold into the register with sixteen
// independent look-ups instead of a chain of sixteen dependent ones.
constexpr int kSlices = 16;
using Tables = std::array<std::array<uint32_t, 256>, kSlices>;

constexpr Tables MakeTables() {
    Tables tables{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t reg = byte;
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg >> 1) ^ ((reg & 1u) != 0 ? kPolynomial : 0u);
        tables[0][byte] = reg;
    }
    for (int k = 1; k < kSlices; ++k) {
        for (int byte = 0; byte < 256; ++byte) {
            const uint32_t prev = tables[k - 1][byte];
            tables[k][byte] = (prev >> 8) ^ tables[0][prev & 0xFFu];
        }
    }
    return tables;
}

// Computed by the compiler: there is nothing to build at run time and nothing to race on.
constexpr Tables kTables = MakeTables();
static_assert(kTables[0][1] == 0x77073096u && kTables[0][255] == 0x2D02EF8Du);

uint32_t UpdateBySlicedTables(uint32_t crc, const unsigned char* p, std::size_t size) {
    const auto& t = kTables;
    uint32_t reg = ~crc;
    while (size >= kSlices) {
        // Assembled byte by byte, so the order is the same on any host; compilers turn this
        // into one load on little-endian machines.
        const uint32_t low =
            reg ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
        reg = t[15][low & 0xFFu] ^ t[14][(low >> 8) & 0xFFu] ^ t[13][(low >> 16) & 0xFFu] ^ t[12][low >> 24] ^
              t[11][p[4]] ^ t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^ t[5][p[10]] ^
              t[4][p[11]] ^ t[3][p[12]] ^ t[2][p[13]] ^ t[1][p[14]] ^ t[0][p[15]];
        p += kSlices;
        size -= kSlices;
    }
    while (size-- > 0) {
        reg = (reg >> 8) ^ t[0][(reg ^ *p++) & 0xFFu];
    }
    return ~reg;
}

// Below this many bytes the tables are faster than the folding, whose reduction at the end costs
// about as much as 64 bytes through the tables (measured with bench/bench_crc32).
constexpr std::size_t kFoldingMinimum = 128;
constexpr std::size_t kBlock = 16;

uint32_t UpdateByCarrylessMultiply(uint32_t crc, const unsigned char* p, std::size_t size) {
    static const Crc32BlockKernel kernel = CarrylessMultiplyKernel();
    if (kernel == nullptr || size < kFoldingMinimum) return UpdateBySlicedTables(crc, p, size);
    const std::size_t folded = size - size % kBlock;
    return UpdateBySlicedTables(kernel(crc, p, folded / kBlock), p + folded, size - folded);
}

using UpdateFunction = uint32_t (*)(uint32_t crc, const unsigned char* p, std::size_t size);

UpdateFunction UpdateFunctionOf(Crc32Method method) {
    return method == Crc32Method::CarrylessMultiply ? &UpdateByCarrylessMultiply : &UpdateBySlicedTables;
}

}  // namespace

bool Crc32MethodAvailable(Crc32Method method) {
    return method == Crc32Method::SlicedTables || CarrylessMultiplyKernel() != nullptr;
}

Crc32Method Crc32ChosenMethod() {
    static const Crc32Method chosen = Crc32MethodAvailable(Crc32Method::CarrylessMultiply)
                                          ? Crc32Method::CarrylessMultiply
                                          : Crc32Method::SlicedTables;
    return chosen;
}

uint32_t Crc32UpdateBy(Crc32Method method, uint32_t crc, const void* data, std::size_t size) {
    return UpdateFunctionOf(method)(crc, static_cast<const unsigned char*>(data), size);
}

uint32_t Crc32Update(uint32_t crc, const void* data, std::size_t size) {
    // The processor is asked once; every later call goes straight to the chosen code.
    static const UpdateFunction update = UpdateFunctionOf(Crc32ChosenMethod());
    return update(crc, static_cast<const unsigned char*>(data), size);
}

std::optional<uint32_t> Crc32OfOpenFile(FileReader& file, unsigned char* buffer,
                                        const CrcBlockHook& afterBlock) {
    // The length is a 64-bit count: files of 2 GiB and more are checksummed whole.
    const int64_t length = file.Length();
    int64_t remaining = length;
    int64_t read = 0;
    uint32_t crc = 0;
    while (remaining > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<int64_t>(remaining, kCrcBlockSize));
        std::size_t got = 0;
        while (got < want) {
            const std::ptrdiff_t n = file.Read(buffer + got, want - got);
            if (n < 0) return 0;
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        // A file that shrank since it was opened ends early: stop at its new end and keep the
        // checksum of the bytes read. Waiting for the promised length would never end.
        if (got == 0) break;
        crc = Crc32Update(crc, buffer, got);
        read += static_cast<int64_t>(got);
        if (afterBlock(read, length)) return std::nullopt;
        if (got < want) break;
        remaining -= static_cast<int64_t>(got);
    }
    return crc;
}

uint32_t FileCrc32(std::string_view path, UiPort& ui, RunState& run) {
    FileReader file;
    if (!file.Open(path) || file.Length() <= 0) return 0;
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kCrcBlockSize);
    int64_t counted = 0;
    const auto crc = Crc32OfOpenFile(file, buffer.get(), [&](int64_t fileRead, int64_t fileLength) {
        run.CountCrcBlock(fileRead - counted, fileRead, fileLength);
        counted = fileRead;
        ui.PumpEvents();
        return run.CancelRequested();
    });
    // A descriptor opened for reading has nothing to flush: whatever Close() reports, the
    // checksum of what was read stands.
    file.Close();
    return crc.value_or(0);
}

}  // namespace folvane
