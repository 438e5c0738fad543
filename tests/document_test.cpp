// Documents as values: loads into records of their own, side by side; every
// reader with its bytes cut by the stream's refill at every position;
// records that move taking their side-table entries along; progress and
// cancel of a load waiting on a pipe.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "marshal/alloc.h"
#include "marshal/document.h"
#include "tests/hex_bytes.h"
#include "tests/render_document.h"
#include "tests/rich_dumps.h"

namespace {

// One vector per reader and per packed-integer form; kRichDumps hold every
// composite, wrapper, link and extension together.
const char* const kEveryReader[] = {
    "04 08 69 00", "04 08 69 06", "04 08 69 fa", "04 08 69 01 7b", "04 08 69 ff 00",
    "04 08 69 02 00 01", "04 08 69 fe ff fe", "04 08 69 03 00 00 01", "04 08 69 fd 00 00 ff",
    "04 08 69 04 ff ff ff 7f", "04 08 69 fc 00 00 00 80",
    "04 08 22 01 06 'abcdef'", "04 08 5b 01 03 30 30 30",  // lengths in the long forms
    "04 08 3a 08 'abc'", "04 08 6c 2b 07 01 02 03 04", "04 08 66 08 '1.5'", "04 08 2f 08 'abc' 05",
    "04 08 63 09 'A::B'", "04 08 6d 0b 'Kernel'", "04 08 75 3a 06 55 08 61 00 62",
    "04 08 30 04 08 5b 06 40 00",
};

struct Loaded {
    int result;
    std::string rendering;
};

Loaded LoadInto(MarshalDocument* doc, const std::vector<std::uint8_t>& bytes) {
    int rc = LoadIntoDocumentFromMemory(doc, bytes.data(), bytes.size());
    Loaded out{rc, rc == kLoadOk ? RenderDocument(&doc->root) : ""};
    return out;
}

std::FILE* FileWith(const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::tmpfile();
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
    }
    return file;
}

TEST(DocumentTest, EveryReaderReadsAcrossTheRefillAtEveryByte) {
    std::vector<const char*> texts(std::begin(kEveryReader), std::end(kEveryReader));
    texts.insert(texts.end(), std::begin(kRichDumps), std::end(kRichDumps));
    for (const char* text : texts) {
        std::vector<std::uint8_t> bytes = Bytes(text);
        MarshalDocument doc{};
        Loaded whole = LoadInto(&doc, bytes);
        ASSERT_EQ(whole.result, kLoadOk) << text;
        ReleaseNode(&doc.root);
        // A refill every `chunk` bytes puts one at every position of the value.
        for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
            doc.readChunk = chunk;
            Loaded cut = LoadInto(&doc, bytes);
            EXPECT_EQ(cut.result, kLoadOk) << text << " refilled every " << chunk;
            EXPECT_EQ(cut.rendering, whole.rendering) << text << " refilled every " << chunk;
            EXPECT_EQ(doc.bytesRead.load(), bytes.size());
            ReleaseNode(&doc.root);
            int rc = LoadIntoDocument(&doc, FileWith(bytes));
            EXPECT_EQ(rc, kLoadOk) << text << " read from a file every " << chunk;
            EXPECT_EQ(RenderDocument(&doc.root), whole.rendering) << text << " read from a file every " << chunk;
            EXPECT_EQ(doc.bytesTotal.load(), bytes.size());
            ReleaseNode(&doc.root);
            EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
        }
    }
}

TEST(DocumentTest, TwoDocumentsLoadSideBySide) {
    std::vector<std::uint8_t> first = Bytes(kRichDumps[1]);
    std::vector<std::uint8_t> second = Bytes(kRichDumps[2]);
    MarshalDocument a{}, b{};
    std::string expectedFirst = LoadInto(&a, first).rendering;
    std::string expectedSecond = LoadInto(&b, second).rendering;
    ASSERT_NE(expectedFirst, "");
    ASSERT_NE(expectedSecond, "");
    // Both stay loaded while the other loads and goes, many times over.
    std::atomic<int> wrong{0};
    auto churn = [&](MarshalDocument* doc, const std::vector<std::uint8_t>* bytes, const std::string* expected) {
        for (int i = 0; i < 300; ++i) {
            MarshalDocument mine{};
            if (LoadInto(&mine, *bytes).rendering != *expected) ++wrong;
            ReleaseNode(&mine.root);
            if (RenderDocument(&doc->root) != *expected) ++wrong;
        }
    };
    std::thread t1(churn, &a, &first, &expectedFirst);
    std::thread t2(churn, &b, &second, &expectedSecond);
    t1.join();
    t2.join();
    EXPECT_EQ(wrong.load(), 0);
    // Releasing one leaves the other whole.
    ReleaseNode(&a.root);
    EXPECT_EQ(DocumentLiveBlocks(&a), 0);
    EXPECT_EQ(DocumentMappedBytes(&a), 0u);
    EXPECT_EQ(RenderDocument(&b.root), expectedSecond);
    EXPECT_GT(DocumentLiveBlocks(&b), 0);
    ReleaseNode(&b.root);
    EXPECT_EQ(LiveAllocationCount(), 0);
}

TEST(DocumentTest, MovedRecordsTakeTheirSideTableEntries) {
    struct MoveCase {
        const char* bytes;
        const char* rendering;
    };
    const MoveCase cases[] = {
        // Top-level values extended by a module move each time the root grows.
        {"04 08 65 3a 06 4d 5b 06 40 00 04 08 65 3a 06 4d 5b 06 40 00 04 08 65 3a 06 4d 5b 06 40 00",
         "e:M array(@0) | e:M array(@1) | e:M array(@2)"},
        // An extended string moves into the wrapper's entry ('I'), and
        // through a 'C' inside an 'I'.
        {"04 08 49 65 3a 06 4d 22 06 61 06 3a 06 45 54", "ivar(.=e:M \"a\", E=true)"},
        {"04 08 49 43 3a 06 55 65 3a 06 4d 22 06 61 06 3a 06 45 54", "ivar U(.=e:M \"a\", E=true)"},
    };
    for (const MoveCase& c : cases) {
        MarshalDocument doc{};
        EXPECT_EQ(LoadInto(&doc, Bytes(c.bytes)).rendering, c.rendering) << c.bytes;
        ReleaseNode(&doc.root);
    }
}

#ifndef _WIN32
// A pipe with the first `cut` bytes written and nothing more yet: the load
// waits for the rest, the cancel flag ends it.
TEST(DocumentTest, CancelEndsALoadWaitingOnAPipe) {
    std::vector<std::uint8_t> bytes = Bytes(kRichDumps[1]);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{9}, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], bytes.data(), cut), static_cast<ssize_t>(cut));
        MarshalDocument doc{};
        int rc = -1;
        std::thread loader([&] { rc = LoadIntoDocument(&doc, fdopen(fds[0], "rb")); });
        for (int i = 0; i < 5000 && doc.bytesRead.load() < cut; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(doc.bytesRead.load(), cut);
        EXPECT_EQ(doc.bytesTotal.load(), 0u);  // a pipe tells no size
        doc.cancel = true;
        loader.join();
        EXPECT_EQ(rc, kLoadCancelled);
        ReleaseNode(&doc.root);
        EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
        close(fds[1]);
    }
}

// What a pipe holds is read ahead as far as a count needs, in the pieces
// the writer sends, so counts are checked against bytes really there.
TEST(DocumentTest, PipesAreReadAheadForTheirCounts) {
    std::vector<std::uint8_t> held = Bytes("04 08 5b 03 e0 93 04");  // 300,000 elements
    held.insert(held.end(), 300000, '0');
    std::vector<std::uint8_t> short_ = Bytes("04 08 5b 03 e1 93 04");  // one more than there is
    short_.insert(short_.end(), 300000, '0');
    struct PipeCase {
        const std::vector<std::uint8_t>* bytes;
        int result;
    };
    for (const PipeCase& c : {PipeCase{&held, kLoadOk}, PipeCase{&short_, kLoadBadData}}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::thread writer([&] {
            for (std::size_t at = 0; at < c.bytes->size(); at += 1000) {
                std::size_t n = std::min<std::size_t>(1000, c.bytes->size() - at);
                if (write(fds[1], c.bytes->data() + at, n) != static_cast<ssize_t>(n)) break;
            }
            close(fds[1]);
        });
        MarshalDocument doc{};
        EXPECT_EQ(LoadIntoDocument(&doc, fdopen(fds[0], "rb")), c.result);
        writer.join();
        if (c.result == kLoadOk) {
            EXPECT_EQ(doc.root.data.nodes[0].count, 300000);
        }
        ReleaseNode(&doc.root);
        EXPECT_EQ(DocumentLiveBlocks(&doc), 0);
    }
}
#endif

}  // namespace
