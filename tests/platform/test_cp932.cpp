#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/cp932.h"
#include "platform/cp932_system.h"
#include "platform/text.h"

namespace folvane {
namespace {

std::string EncodedBytes(char32_t c) {
    const Cp932Char e = Cp932Encode(c);
    return std::string(reinterpret_cast<const char*>(e.bytes), e.length);
}

std::string Utf8(char32_t c) {
    std::string out;
    AppendUtf8(out, c);
    return out;
}

// Every width rule rests on this: the tables say exactly what the system converter says.
TEST(Cp932Tables, AgreeWithSystemConverterOnEveryBmpCodePoint) {
    const Cp932FactsView facts = Cp932Facts();
    int mismatches = 0;
    for (char32_t c = 0; c < 0x10000 && mismatches < 10; ++c) {
        const auto system = SystemCp932Encode(c);
        const std::string expected = system.value_or("?");
        const char32_t roundTrip = system ? SystemCp932Decode(*system).value_or(0xFFFD) : U'?';
        if (EncodedBytes(c) != expected || CharCells(c) != static_cast<int>(expected.size()) ||
            Cp932RoundTrip(c) != roundTrip || EncodedBytes(Cp932RoundTrip(c)) != expected ||
            facts.Cells(c) != CharCells(c) || facts.KeepsItself(c) != (roundTrip == c)) {
            ++mismatches;
            ADD_FAILURE() << "code point U+" << std::hex << static_cast<uint32_t>(c);
        }
    }
}

TEST(Cp932Tables, DecodeAgreesWithSystemConverterOnEveryByteAndPair) {
    for (int lead = 0; lead < 256; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        if (!IsCp932LeadByte(lead)) {
            EXPECT_EQ(FromCp932(single), Utf8(SystemCp932Decode(single).value_or(0xFFFD))) << lead;
            continue;
        }
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string trailAlone(1, static_cast<char>(trail));
            // Outside the trail range the lead byte is broken on its own and the byte after it
            // is a character of its own.
            const bool inTrailRange = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
            const auto system = SystemCp932Decode(pair);
            const std::string expected =
                system         ? Utf8(*system)
                : inTrailRange ? "\uFFFD"
                               : "\uFFFD" + Utf8(SystemCp932Decode(trailAlone).value_or(0xFFFD));
            ASSERT_EQ(FromCp932(pair), expected) << lead << " " << trail;
        }
    }
}

TEST(Cp932Tables, KnownCharacters) {
    struct Case {
        char32_t c;
        std::string bytes;
        char32_t roundTrip;
    };
    const Case cases[] = {
        {U'A', "A", U'A'},
        {U'あ', "\x82\xA0", U'あ'},
        {U'表', "\x95\x5C", U'表'},  // trail byte is "\"
        {U'ｶ', "\xB6", U'ｶ'},        // half-width katakana: one cell
        {U'\u00A5', "\x5C", U'\\'},  // many-to-one onto ASCII
        {U'\u203E', "\x7E", U'~'},
        {U'\u2016', "\x81\x61", U'\u2225'},
        {U'\u2225', "\x81\x61", U'\u2225'},
        {U'\U0001F600', "?", U'?'},       // beyond the plane
        {kEscapeBase + 0x80, "?", U'?'},  // escaped host byte
        {U'\U0010FFFF', "?", U'?'},
        {0x110000, "?", U'?'},  // not a code point at all
    };
    for (const Case& k : cases) {
        EXPECT_EQ(EncodedBytes(k.c), k.bytes) << static_cast<uint32_t>(k.c);
        EXPECT_EQ(CharCells(k.c), static_cast<int>(k.bytes.size())) << static_cast<uint32_t>(k.c);
        EXPECT_EQ(Cp932RoundTrip(k.c), k.roundTrip) << static_cast<uint32_t>(k.c);
        EXPECT_EQ(Cp932Facts().Cells(k.c), static_cast<int>(k.bytes.size())) << static_cast<uint32_t>(k.c);
        EXPECT_EQ(Cp932Facts().KeepsItself(k.c), k.roundTrip == k.c) << static_cast<uint32_t>(k.c);
    }
}

TEST(Cp932Text, ConvertsBothWays) {
    struct Case {
        std::string utf8;
        std::string cp932;
        std::string back;
    };
    const Case cases[] = {
        {"", "", ""},
        {"ファイル", "\x83\x74\x83\x40\x83\x43\x83\x8B", "ファイル"},
        {"a表b",
         "a\x95\x5C"
         "b",
         "a表b"},
        {"¥100😀", "\\100?", "\\100?"},
        {"x\xFFy", "x?y", "x?y"},  // invalid UTF-8 byte, carried as an escape code point
    };
    for (const Case& k : cases) {
        EXPECT_EQ(ToCp932(k.utf8), k.cp932) << k.utf8;
        EXPECT_EQ(FromCp932(k.cp932), k.back) << k.utf8;
    }
}

TEST(Cp932Text, BrokenBytesBecomeReplacementCharacters) {
    const std::string r = "\uFFFD";
    const std::pair<std::string, std::string> cases[] = {
        {"\x82", r},  // lone lead byte at the end
        {"A\x82", "A" + r},
        {"\x85\x40", r},       // unassigned pair: one character
        {"\x82 x", r + " x"},  // not a trail byte: it starts the next character
        {"\x80\xA0\xFD\xFE\xFF", r + r + r + r + r},
        {"\xED\x40", "纊"},  // decode-only duplicate of FA 5C
    };
    for (const auto& [bytes, expected] : cases) {
        // An exactly sized heap copy, so that a read past the end is caught by the sanitizer.
        const std::vector<char> exact(bytes.begin(), bytes.end());
        EXPECT_EQ(FromCp932(std::string_view(exact.data(), exact.size())), expected);
    }
}

// Each thread keeps its own converter; sharing one between threads would garble results.
TEST(Cp932System, ConvertsConcurrently) {
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int& count : mismatches) {
        threads.emplace_back([&count] {
            for (char32_t c = 0x3000; c < 0xA000; ++c)
                count += SystemCp932Encode(c).value_or("?") != EncodedBytes(c);
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace folvane
