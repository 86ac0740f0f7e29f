// The body store against a model of it: text appended and slots filled later read back in
// listing order, from memory and from a scratch file that the body outgrows many times.

#include "render/body_store.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace folvane {
namespace {

struct StringSink final : ByteSink {
    bool Write(std::string_view more) override {
        ++writes;
        if (writes > refuseAfter) return false;
        bytes += more;
        return true;
    }
    std::string bytes;
    int writes = 0;
    int refuseAfter = 1 << 30;
};

// A nested listing: every folder reserves its place, writes a subtree, then fills the place.
void Build(BodyStore& store, std::string& expected, std::mt19937& random, int depth) {
    const int entries = static_cast<int>(random() % 6);
    for (int i = 0; i < entries; ++i) {
        if (depth < 6 && random() % 3 == 0) {
            const BodyStore::Slot slot = store.Reserve();
            std::string subtree;
            Build(store, subtree, random, depth + 1);
            EXPECT_EQ(store.NothingSince(slot), subtree.empty());
            const std::string line =
                "folder " + std::to_string(random() % 1000) + std::string(random() % 300, 'f');
            store.Fill(slot, line);
            expected += line + subtree;
        } else {
            const std::string line =
                std::string(random() % 5000, static_cast<char>('a' + random() % 26)) + "\r\n";
            store.Append(line);
            expected += line;
        }
    }
}

TEST(BodyStore, ReadsBackInListingOrderFromMemoryAndFromAScratchFile) {
    for (const auto backing : {BodyStore::Backing::kMemory, BodyStore::Backing::kScratchFile}) {
        std::mt19937 random(7);
        BodyStore store(backing);
        std::string expected;
        while (expected.size() < (5u << 20))  // several times the pieces that go to the file
            Build(store, expected, random, 0);
        EXPECT_EQ(store.Size(), static_cast<int64_t>(expected.size()));
        for (const int64_t drop : {int64_t{0}, int64_t{2}, static_cast<int64_t>(expected.size())}) {
            StringSink sink;
            ASSERT_TRUE(store.WriteTo(sink, drop));
            EXPECT_TRUE(sink.bytes == expected.substr(0, expected.size() - static_cast<std::size_t>(drop)))
                << "drop " << drop;
        }
    }
    BodyStore empty;
    StringSink sink;
    EXPECT_TRUE(empty.WriteTo(sink, 2) && sink.bytes.empty());
    const BodyStore::Slot unfilled = empty.Reserve();
    EXPECT_TRUE(empty.NothingSince(unfilled) && empty.WriteTo(sink) && sink.bytes.empty());
}

TEST(BufferedSink, PassesEveryByteInOrderInBlocksAndStopsAtTheFirstRefusal) {
    StringSink below;
    BufferedSink buffered(below, 100);
    std::string expected;
    for (int i = 0; i < 500; ++i) {
        const std::string piece(static_cast<std::size_t>(i % 7 == 0 ? 250 : i % 13),
                                static_cast<char>('a' + i % 26));
        ASSERT_TRUE(buffered.Write(piece));
        expected += piece;
    }
    ASSERT_TRUE(buffered.Flush());
    EXPECT_EQ(below.bytes, expected);
    EXPECT_LT(below.writes, 200);

    StringSink refusing;
    refusing.refuseAfter = 1;
    BufferedSink failing(refusing, 10);
    EXPECT_TRUE(failing.Write("12345678"));
    EXPECT_TRUE(failing.Write("abcd"));  // the first block is handed on
    EXPECT_FALSE(failing.Write("efghijklmn"));
    EXPECT_FALSE(failing.Write("x"));
    EXPECT_FALSE(failing.Flush());
    EXPECT_EQ(refusing.bytes, "12345678");
}

}  // namespace
}  // namespace folvane
