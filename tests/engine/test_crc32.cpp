#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/crc32_methods.h"
#include "tests/engine/crc_reference.h"

namespace folvane {
namespace {

using testing::RandomBytes;
using testing::ReferenceStep;
using testing::ReferenceCrc;

// Each method on its own; one this processor lacks is skipped.
class Crc32MethodTest : public ::testing::TestWithParam<Crc32Method> {
  protected:
    void SetUp() override {
        if (!Crc32MethodAvailable(GetParam())) GTEST_SKIP() << "not available on this processor";
    }
    uint32_t Update(uint32_t crc, std::string_view data) const {
        return Crc32UpdateBy(GetParam(), crc, data.data(), data.size());
    }
};

INSTANTIATE_TEST_SUITE_P(Methods, Crc32MethodTest,
                         ::testing::Values(Crc32Method::SlicedTables, Crc32Method::CarrylessMultiply),
                         [](const ::testing::TestParamInfo<Crc32Method>& method) {
                             return method.param == Crc32Method::SlicedTables ? "SlicedTables"
                                                                              : "CarrylessMultiply";
                         });

// Every length from 0 to 1024 bytes at every offset from a 16-byte boundary: the lengths cross
// the table stride, the folding's minimum, its 16- and 64-byte steps and the leftover tails.
TEST_P(Crc32MethodTest, EveryLengthAtEveryAlignmentMatchesTheDefinition) {
    EXPECT_EQ(Update(0, "123456789"), 0xCBF43926u);
    constexpr size_t kLongest = 1024;
    const std::string data = RandomBytes(kLongest + 32);
    const size_t boundary = (16 - reinterpret_cast<uintptr_t>(data.data()) % 16) % 16;
    for (size_t offset = 0; offset < 16; ++offset) {
        const std::string_view from(data.data() + boundary + offset, kLongest);
        uint32_t reg = 0xFFFFFFFFu;  // the definition's register over the first size bytes
        for (size_t size = 0; size <= kLongest; ++size) {
            ASSERT_EQ(Update(0, from.substr(0, size)), ~reg) << "offset " << offset << " size " << size;
            if (size < kLongest) reg = ReferenceStep(reg, static_cast<unsigned char>(from[size]));
        }
    }
}

// Two updates give the CRC-32 of the two parts joined, wherever the data is split, with either
// part too short for the folding or long enough.
TEST_P(Crc32MethodTest, ChainedUpdatesEqualOneUpdate) {
    const std::string data = RandomBytes(300);
    const uint32_t whole = ReferenceCrc(data);
    const std::string_view all(data);
    for (size_t split = 0; split <= data.size(); ++split) {
        ASSERT_EQ(Update(Update(0, all.substr(0, split)), all.substr(split)), whole) << "split " << split;
    }
}

// Random lengths up to 4 MiB at random offsets: the folding agrees with the tables.
TEST(Crc32Methods, AgreeOnLongInputs) {
    if (!Crc32MethodAvailable(Crc32Method::CarrylessMultiply)) GTEST_SKIP() << "only the tables here";
    const std::string data = RandomBytes((4 << 20) + 16, 7);
    std::mt19937 random(3);
    for (int round = 0; round < 24; ++round) {
        const size_t offset = random() % 16;
        const size_t size = random() % (data.size() - offset);
        const uint32_t crc = random();
        EXPECT_EQ(Crc32UpdateBy(Crc32Method::CarrylessMultiply, crc, data.data() + offset, size),
                  Crc32UpdateBy(Crc32Method::SlicedTables, crc, data.data() + offset, size))
            << "offset " << offset << " size " << size;
    }
}

// Crc32Update runs the fastest method there is: the folding wherever the processor has it.
TEST(Crc32Methods, TheUpdateUsesTheFastestAvailable) {
    EXPECT_EQ(Crc32ChosenMethod(), Crc32MethodAvailable(Crc32Method::CarrylessMultiply)
                                       ? Crc32Method::CarrylessMultiply
                                       : Crc32Method::SlicedTables);
    EXPECT_TRUE(Crc32MethodAvailable(Crc32Method::SlicedTables));
    const std::string data = RandomBytes(5000);
    EXPECT_EQ(Crc32Update(0, data.data(), data.size()), ReferenceCrc(data));
}

}  // namespace
}  // namespace folvane
