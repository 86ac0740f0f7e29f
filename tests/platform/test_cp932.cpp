#include <gtest/gtest.h>

#include <atomic>
#include <optional>
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

std::string SystemDecoded(const std::string& bytes) {
    std::string out;
    AppendUtf8(out, SystemCp932Decode(bytes).value_or(0xFFFD));
    return out;
}

// An exactly sized heap copy, so that a read past the end is caught by the sanitizer.
std::string Decoded(const std::string& bytes) {
    const std::vector<char> exact(bytes.begin(), bytes.end());
    return FromCp932(std::string_view(exact.data(), exact.size()));
}

char32_t FirstCodePoint(const std::string& text) {
    std::size_t pos = 0;
    return DecodeUtf8(text, pos);
}

// The fixed form of c when the hosts' converters disagree on it (Cp932SharedMappings).
const Cp932SharedMapping* SharedMappingOf(char32_t c) {
    for (const Cp932SharedMapping& mapping : Cp932SharedMappings())
        if (mapping.character == c) return &mapping;
    return nullptr;
}

std::string FormBytes(const Cp932Char& form) {
    return std::string(reinterpret_cast<const char*>(form.bytes), form.length);
}

// The character the shared table decodes from bytes, if it decodes them.
std::optional<std::string> SharedDecoding(const std::string& bytes) {
    for (const Cp932SharedMapping& mapping : Cp932SharedMappings()) {
        if (!mapping.decodes || FormBytes(mapping.form) != bytes) continue;
        std::string out;
        AppendUtf8(out, mapping.character);
        return out;
    }
    return std::nullopt;
}

// Every width rule rests on this: the tables say exactly what the system converter says, but
// for the characters of the shared table, which have its form on every host.
TEST(Cp932Tables, AgreeWithSystemConverterOnEveryBmpCodePoint) {
    const Cp932FactsView facts = Cp932Facts();
    int mismatches = 0;
    for (char32_t c = 0; c < 0x10000 && mismatches < 10; ++c) {
        const Cp932SharedMapping* shared = SharedMappingOf(c);
        const auto system = shared ? std::optional(FormBytes(shared->form)) : SystemCp932Encode(c);
        const std::string expected = system.value_or("?");
        const char32_t roundTrip = shared ? FirstCodePoint(Decoded(expected))
                                          : (system ? SystemCp932Decode(*system).value_or(0xFFFD) : U'?');
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
        const bool isLead = IsCp932LeadByte(lead);
        const std::string expectedSingle = SharedDecoding(single).value_or(SystemDecoded(single));
        ASSERT_EQ(Decoded(single), isLead ? "\uFFFD" : expectedSingle) << lead;  // a lone lead byte
        for (int trail = 0; isLead && trail < 256; ++trail) {
            // Outside the trail range the lead byte is broken and the next byte stands alone.
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const bool inTrailRange = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
            const std::string next = pair.substr(1);
            ASSERT_EQ(Decoded(pair), SystemCp932Decode(pair) || inTrailRange
                                         ? SystemDecoded(pair)
                                         : "\uFFFD" + SharedDecoding(next).value_or(SystemDecoded(next)))
                << lead << " " << trail;
        }
    }
}

// The hosts disagree on these; a listing holds the same bytes on every one of them.
TEST(Cp932Text, SharedMappingsGiveTheSameBytesOnEveryHost) {
    EXPECT_EQ(ToCp932("¢£¥¬—‖‾−〜"), "\x81\x91\x81\x92\\\x81\xCA\x81\x5C\x81\x61~\x81\x7C\x81\x60");
    EXPECT_EQ(ToCp932("\u0080\uF8F0\uF8F1\uF8F2\uF8F3"), "\x80\xA0\xFD\xFE\xFF");
    EXPECT_EQ(Decoded("\x80\xA0\xFD\xFE\xFF"), "\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
    EXPECT_EQ(Decoded("\x81\x91\x81\x5C\x81\x60"), "￠―～");  // the signs read back full-width
}

// The whole plane is checked against the system above, characters and byte pairs alike; beyond
// it nothing is held, and text that is no UTF-8 gives "?" too.
TEST(Cp932Text, HoldsNothingBeyondThePlane) {
    for (const char32_t c : {U'\U0001F600', char32_t{0x110000}}) {
        EXPECT_TRUE(EncodedBytes(c) == "?" && Cp932RoundTrip(c) == U'?' && CharCells(c) == 1)
            << static_cast<uint32_t>(c);
        EXPECT_TRUE(Cp932Facts().Cells(c) == 1 && !Cp932Facts().KeepsItself(c)) << static_cast<uint32_t>(c);
    }
    EXPECT_EQ(ToCp932("¥100😀x\xFFy"), "\\100?x?y");
}

// Each thread keeps its own converter; sharing one between threads would garble results.
TEST(Cp932System, ConvertsConcurrently) {
    std::atomic<int> mismatches = 0;
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&mismatches] {
            for (char32_t c = 0x3000; c < 0xA000; ++c)
                mismatches +=
                    SharedMappingOf(c) == nullptr && SystemCp932Encode(c).value_or("?") != EncodedBytes(c);
        });
    }
    threads.clear();  // joins them
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace folvane
