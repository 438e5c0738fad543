// Loads from several threads at once share the loader's large-stack
// threads and the mappings they give back: every document must come out as
// it does when loaded alone.  A deep one in between ends its thread rather
// than keeping it.  Under ThreadSanitizer this is the check of the pool.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "compare/compare.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "marshal/document.h"
#include "marshal/load.h"
#include "tests/dump_support.h"

namespace {
struct LoadedFile {
    MarshalDocument doc{};
    int result = kLoadCannotOpen;
    ~LoadedFile() { DropDocument(doc); }
};

std::unique_ptr<LoadedFile> LoadFile(const std::string& path) {
    auto loaded = std::make_unique<LoadedFile>();
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) loaded->result = LoadIntoDocument(&loaded->doc, file);
    return loaded;
}

// Nested arrays, one element each, `levels` deep.
std::string Nested(int levels) {
    std::string bytes = "\x04\x08";
    for (int i = 0; i < levels; ++i) bytes += "[\x06";
    return bytes + "0";
}

int Differences(const MarshalDocument& a, const MarshalDocument& b) {
    ValueHasher hasher;
    int count = 0;
    CompareDocuments(a, b, hasher, [&count](const Difference&) { return ++count < 100; });
    return count;
}
}  // namespace

TEST(LoaderThreadsTest, LoadsFromManyThreadsComeOutAsLoadedAlone) {
    const std::vector<std::string> files = {Data("Actors.rxdata"), Data("Map001.rxdata"), Data("Scripts.rxdata"),
                                            Data("y_map_ruby3.rxdata"), Data("y_lens_events.rxdata")};
    std::vector<std::unique_ptr<LoadedFile>> alone;
    for (const std::string& file : files) {
        alone.push_back(LoadFile(file));
        ASSERT_EQ(alone.back()->result, kLoadOk) << file;
    }
    const std::string deep = Nested(3000);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round)
                for (std::size_t i = 0; i < files.size(); ++i) {
                    const std::size_t k = (i + static_cast<std::size_t>(t)) % files.size();
                    auto loaded = LoadFile(files[k]);
                    if (loaded->result != kLoadOk || Differences(alone[k]->doc, loaded->doc) != 0) ++wrong;
                    if (t == round) {
                        MarshalDocument nested{};
                        if (LoadIntoDocumentFromMemory(&nested, deep.data(), deep.size()) != kLoadOk ||
                            nested.loadedDepth < 3000)
                            ++wrong;
                        DropDocument(nested);
                    }
                }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}
