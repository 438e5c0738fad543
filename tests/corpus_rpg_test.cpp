// The RPG-Maker-like files of tests/data/ decode to the layout RPG Maker XP
// writes, and the broken files fail with their codes.
#include "present/viewer_document.h"
#include "tests/corpus_support.h"

namespace corpus {

// MARK: RPG Maker XP data

constexpr int kMapEvents = 20;
constexpr int kPagesPerEvent[kMapEvents] = {3, 1, 2, 2, 1, 2, 3, 3, 1, 3, 2, 2, 2, 1, 3, 1, 1, 1, 1, 2};
constexpr int kCommandsPerPage[] = {3, 16, 11, 5, 8, 8, 15, 3, 12, 12, 14, 9, 13, 17, 10, 4, 3, 12, 11,
                                    7, 6, 9, 19, 13, 14, 5, 3, 19, 23, 5, 11, 5, 11, 13, 5, 22, 3};

TEST_F(Corpus, MapHasTheLayoutRpgMakerWrites) {
    const MarshalNode* map = LoadOk("Map001.rxdata");
    ASSERT_EQ(map->type, 'o');
    EXPECT_EQ(Text(map->name), "RPG::Map");
    const char* const fields[] = {"tileset_id", "width", "height", "autoplay_bgm", "bgm", "autoplay_bgs",
                                  "bgs", "encounter_list", "encounter_step", "data", "events"};
    ASSERT_EQ(map->count, 11);
    for (int i = 0; i < 11; ++i) EXPECT_STREQ(Entry(map, i)->name, fields[i]);
    EXPECT_EQ(Int(Field(map, "width")), 20);
    EXPECT_EQ(Int(Field(map, "height")), 15);
    EXPECT_EQ(Field(map, "autoplay_bgm")->type, 'F');
    EXPECT_EQ(Text(Field(map, "bgm")->name), "RPG::AudioFile");
    EXPECT_EQ(StringText(Field(Field(map, "bgm"), "name")), "001-Town01");
    EXPECT_EQ(StringText(Field(Field(map, "bgs"), "name")), "");
    EXPECT_EQ(Field(map, "encounter_list")->type, '[');
    EXPECT_EQ(Field(map, "encounter_list")->count, 0);

    // The tiles: a Table of 20 x 15 x 3 written by its own _dump.
    const MarshalNode* table = Field(map, "data");
    ASSERT_EQ(table->type, 'u');
    EXPECT_EQ(Text(table->name), "Table");
    ASSERT_EQ(table->count, 20 + 20 * 15 * 3 * 2);
    std::string bytes = Bytes(table);
    std::uint32_t header[5];
    std::memcpy(header, bytes.data(), sizeof header);
    const std::uint32_t expectedHeader[5] = {3, 20, 15, 3, 900};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(header[i], expectedHeader[i]) << i;
    for (int i = 0; i < 900; ++i) {
        auto tile = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[20 + 2 * i]) |
                                               static_cast<std::uint8_t>(bytes[21 + 2 * i]) << 8);
        if (i < 300) {
            EXPECT_TRUE(tile >= 384 && tile < 432) << i << ": " << tile;  // ground layer
        } else if (i >= 600) {
            EXPECT_EQ(tile, 0) << i;  // empty top layer
        }
    }

    const MarshalNode* events = Field(map, "events");
    ASSERT_EQ(events->type, '{');
    ASSERT_EQ(events->count, kMapEvents);
    int page = 0;
    for (int e = 0; e < kMapEvents; ++e) {
        SCOPED_TRACE(e);
        EXPECT_EQ(Int(Child(events, 2 * e)), e + 1);
        const MarshalNode* event = Child(events, 2 * e + 1);
        ASSERT_EQ(event->type, 'o');
        EXPECT_EQ(Text(event->name), "RPG::Event");
        EXPECT_EQ(Int(Field(event, "id")), e + 1);
        char name[16];
        std::snprintf(name, sizeof name, "EV%03d", e + 1);
        EXPECT_EQ(StringText(Field(event, "name")), name);
        const MarshalNode* pages = Field(event, "pages");
        ASSERT_EQ(pages->type, '[');
        ASSERT_EQ(pages->count, kPagesPerEvent[e]);
        for (int p = 0; p < pages->count; ++p, ++page) {
            const MarshalNode* pg = Child(pages, p);
            EXPECT_EQ(Text(pg->name), "RPG::Event::Page");
            EXPECT_EQ(pg->count, 13);
            EXPECT_EQ(Text(Field(pg, "condition")->name), "RPG::Event::Page::Condition");
            EXPECT_EQ(Text(Field(pg, "graphic")->name), "RPG::Event::Page::Graphic");
            EXPECT_EQ(Text(Field(pg, "move_route")->name), "RPG::MoveRoute");
            const MarshalNode* list = Field(pg, "list");
            ASSERT_EQ(list->type, '[');
            ASSERT_LT(page, static_cast<int>(std::size(kCommandsPerPage)));
            ASSERT_EQ(list->count, kCommandsPerPage[page]);
            for (int k = 0; k < list->count; ++k) {
                const MarshalNode* cmd = Child(list, k);
                ASSERT_EQ(cmd->type, 'o');
                EXPECT_EQ(Text(cmd->name), "RPG::EventCommand");
                ASSERT_EQ(cmd->count, 3);
                EXPECT_STREQ(Entry(cmd, 0)->name, "code");
                EXPECT_STREQ(Entry(cmd, 1)->name, "indent");
                EXPECT_STREQ(Entry(cmd, 2)->name, "parameters");
                EXPECT_EQ(Entry(cmd, 2)->value.type, '[');
            }
            EXPECT_EQ(Int(Field(Child(list, list->count - 1), "code")), 0) << "a list ends with command 0";
        }
    }
    EXPECT_EQ(page, static_cast<int>(std::size(kCommandsPerPage)));
}

TEST_F(Corpus, MapCommandsKeepTheirParameters) {
    const MarshalNode* map = LoadOk("Map001.rxdata");
    ASSERT_EQ(map->type, 'o');
    const MarshalNode* event1 = Child(Field(map, "events"), 1);
    const MarshalNode* pages = Field(event1, "pages");
    auto command = [&](int p, int k) { return Child(Field(Child(pages, p), "list"), k); };
    auto params = [&](int p, int k) { return Field(command(p, k), "parameters"); };

    // Show Text with Chinese text, stored as raw UTF-8 bytes.
    EXPECT_EQ(Int(Field(command(0, 0), "code")), 101);
    EXPECT_EQ(StringText(Child(params(0, 0), 0)), "\xE6\xAC\xA2\xE8\xBF\x8E\xE5\x85\x89\xE4\xB8\xB4\xEF\xBC\x81");  // 欢迎光临！
    // Transfer Player: six integers.
    EXPECT_EQ(Int(Field(command(1, 0), "code")), 201);
    const std::int32_t transfer[] = {0, 2, 14, 5, 2, 0};
    ASSERT_EQ(params(1, 0)->count, 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Int(Child(params(1, 0), i)), transfer[i]) << i;
    // Show Choices: an array of two strings and a count.
    const MarshalNode* choices = Child(params(1, 1), 0);
    ASSERT_EQ(choices->type, '[');
    ASSERT_EQ(choices->count, 2);
    EXPECT_EQ(StringText(Child(choices, 0)), "\xE6\x98\xAF");  // 是
    EXPECT_EQ(StringText(Child(choices, 1)), "\xE5\x90\xA6");  // 否
    EXPECT_EQ(Int(Child(params(1, 1), 1)), 2);
    EXPECT_EQ(Int(Field(command(1, 3), "indent")), 1);
    // Set Move Route: a MoveRoute whose list holds MoveCommands.
    EXPECT_EQ(Int(Field(command(1, 9), "code")), 209);
    EXPECT_EQ(Int(Child(params(1, 9), 0)), -1);
    const MarshalNode* route = Child(params(1, 9), 1);
    EXPECT_EQ(Text(route->name), "RPG::MoveRoute");
    EXPECT_EQ(Field(route, "repeat")->type, 'T');
    EXPECT_EQ(Field(route, "skippable")->type, 'F');
    const MarshalNode* moves = Field(route, "list");
    ASSERT_EQ(moves->count, 4);
    const std::int32_t moveCodes[] = {15, 15, 15, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Text(Child(moves, i)->name), "RPG::MoveCommand");
        EXPECT_EQ(Int(Field(Child(moves, i), "code")), moveCodes[i]);
    }
    EXPECT_EQ(Int(Child(Field(Child(moves, 0), "parameters"), 0)), 28);
    // Play BGM / Play SE: AudioFile objects.
    const MarshalNode* bgm = Child(params(1, 13), 0);
    EXPECT_EQ(Text(bgm->name), "RPG::AudioFile");
    EXPECT_EQ(StringText(Field(bgm, "name")), "003-Battle03");
    EXPECT_EQ(Int(Field(Child(params(1, 14), 0), "pitch")), 117);
    // Control Variables with a negative operand.
    EXPECT_EQ(Int(Child(params(2, 6), 4)), -444);
}

TEST_F(Corpus, ToneAndColorAreFourDoubles) {
    const MarshalNode* map = LoadOk("y_map_ruby3.rxdata");
    ASSERT_EQ(map->type, 'o');
    const MarshalNode* list = Field(Child(Field(Child(Field(map, "events"), 1), "pages"), 0), "list");
    struct Case { int command; std::int32_t code; const char* className; double values[4]; std::int32_t duration; };
    const Case cases[] = {
        {2, 223, "Tone", {-68, -68, 0, 68}, 20},
        {3, 224, "Color", {255, 255, 255, 170}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        const MarshalNode* cmd = Child(list, c.command);
        EXPECT_EQ(Int(Field(cmd, "code")), c.code);
        const MarshalNode* params = Field(cmd, "parameters");
        const MarshalNode* u = Child(params, 0);
        ASSERT_EQ(u->type, 'u');
        EXPECT_EQ(Text(u->name), c.className);
        ASSERT_EQ(u->count, 32);
        double values[4];
        std::memcpy(values, u->data.bytes, sizeof values);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(values[i], c.values[i]) << i;
        EXPECT_EQ(Int(Child(params, 1)), c.duration);
    }
}

TEST_F(Corpus, Ruby3MapWrapsEveryString) {
    const MarshalNode* map = LoadOk("y_map_ruby3.rxdata");
    ASSERT_EQ(map->type, 'o');
    const MarshalNode* events = Field(map, "events");
    ASSERT_EQ(events->count, 3);
    const MarshalNode* name = Field(Child(events, 1), "name");
    ASSERT_EQ(name->type, 'I');
    ASSERT_EQ(name->count, 2);
    EXPECT_EQ(Bytes(&Entry(name, 0)->value), "EV001");
    EXPECT_STREQ(Entry(name, 1)->name, "E");
    EXPECT_EQ(Entry(name, 1)->value.type, 'T');
    const MarshalNode* list = Field(Child(Field(Child(events, 1), "pages"), 0), "list");
    EXPECT_EQ(StringText(Child(Field(Child(list, 0), "parameters"), 0)),
              "\\N[1]\xEF\xBC\x9A\xE6\x88\x91\xE4\xBB\xAC\xE5\x87\xBA\xE5\x8F\x91\xE5\x90\xA7\xE3\x80\x82");  // \N[1]：我们出发吧。
}

TEST_F(Corpus, ActorsAreAnArrayAfterNil) {
    const MarshalNode* actors = LoadOk("Actors.rxdata");
    ASSERT_EQ(actors->type, '[');
    ASSERT_EQ(actors->count, 9);
    EXPECT_EQ(Child(actors, 0)->type, '0');
    const char* const names[] = {
        "\xE9\x98\xBF\xE5\xB0\x94\xE8\xA5\xBF\xE6\x96\xAF",  // 阿尔西斯
        "\xE5\xB7\xB4\xE5\x90\x89\xE5\xB0\x94",              // 巴吉尔
        "\xE8\xB5\x9B\xE5\x8B\x92\xE6\x96\xAF",              // 赛勒斯
        "\xE5\xA4\x9A\xE8\x90\x9D\xE8\xA5\xBF",              // 多萝西
        "\xE8\x89\xBE\xE6\x96\xAF\xE7\x89\xB9\xE5\xB0\x94",  // 艾斯特尔
        "\xE8\x8F\xB2\xE5\x8A\x9B\xE5\x85\x8B\xE6\x96\xAF",  // 菲力克斯
        "\xE6\xA0\xBC\xE6\xB4\x9B\xE4\xB8\xBD\xE4\xBA\x9A",  // 格洛丽亚
        "\xE5\xB8\x8C\xE5\xB0\x94\xE8\xBE\xBE",              // 希尔达
    };
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const MarshalNode* actor = Child(actors, i);
        ASSERT_EQ(actor->type, 'o');
        EXPECT_EQ(Text(actor->name), "RPG::Actor");
        EXPECT_EQ(actor->count, 22);
        EXPECT_EQ(Int(Field(actor, "id")), i);
        const MarshalNode* name = Field(actor, "name");
        EXPECT_EQ(name->type, '"') << "Ruby 1.8 strings carry no 'I'";
        EXPECT_EQ(StringText(name), names[i - 1]);
        const MarshalNode* params = Field(actor, "parameters");
        ASSERT_EQ(params->type, 'u');
        EXPECT_EQ(Text(params->name), "Table");
        ASSERT_EQ(params->count, 20 + 6 * 100 * 2);
        std::uint32_t header[5];
        std::memcpy(header, params->data.bytes, sizeof header);
        EXPECT_EQ(header[0], 2u);
        EXPECT_EQ(header[1], 6u);
        EXPECT_EQ(header[2], 100u);
        EXPECT_EQ(header[4], 600u);
    }
}

// Every node of the three RPG files, counted by type and class: catches a
// reader that drops, duplicates or mistypes values anywhere in a real-sized
// tree.  The numbers come from walking the same objects in Ruby.
TEST_F(Corpus, RpgFilesHoldExactlyTheValuesRubyWrote) {
    struct Case {
        const char* file;
        std::map<char, long> types;
        std::map<std::string, long> classes;
        std::map<int, long> codes;
    };
    const Case cases[] = {
        {"Map001.rxdata",
         {{'"', 313}, {'F', 347}, {'T', 86}, {'[', 681}, {'i', 2002}, {'o', 779}, {'u', 31}, {'{', 1}},
         {{"RPG::AudioFile", 40}, {"RPG::Event", 20}, {"RPG::Event::Page", 37}, {"RPG::Event::Page::Condition", 37},
          {"RPG::Event::Page::Graphic", 37}, {"RPG::EventCommand", 379}, {"RPG::Map", 1}, {"RPG::MoveCommand", 179},
          {"RPG::MoveRoute", 49}, {"Color", 15}, {"Table", 1}, {"Tone", 15}},
         {{0, 72}, {101, 66}, {102, 16}, {121, 14}, {122, 14}, {201, 11}, {209, 12}, {223, 15}, {224, 15},
          {241, 19}, {250, 19}, {355, 12}, {401, 31}, {402, 35}, {404, 16}, {509, 12}}},
        {"y_map_ruby3.rxdata",
         // 12 true values, and the E true of each of the 47 wrapped strings.
         {{'"', 47}, {'I', 47}, {'F', 56}, {'T', 12 + 47}, {'[', 84}, {'i', 262}, {'o', 98}, {'u', 5}, {'{', 1}},
         {{"RPG::AudioFile", 4}, {"RPG::Event", 3}, {"RPG::Event::Page", 6}, {"RPG::Event::Page::Condition", 6},
          {"RPG::Event::Page::Graphic", 6}, {"RPG::EventCommand", 48}, {"RPG::Map", 1}, {"RPG::MoveCommand", 18},
          {"RPG::MoveRoute", 6}, {"Color", 2}, {"Table", 1}, {"Tone", 2}},
         {{0, 10}, {101, 11}, {102, 2}, {121, 2}, {122, 2}, {223, 2}, {224, 2}, {241, 1}, {250, 1}, {355, 2},
          {401, 7}, {402, 4}, {404, 2}}},
        {"Actors.rxdata",
         {{'"', 24}, {'0', 1}, {'F', 40}, {'[', 1}, {'i', 104}, {'o', 8}, {'u', 8}},
         {{"RPG::Actor", 8}, {"Table", 8}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const MarshalNode* top = LoadOk(c.file);
        Census census = Count(top);
        EXPECT_EQ(census.types, c.types);
        EXPECT_EQ(census.classes, c.classes);
        EXPECT_EQ(census.commandCodes, c.codes);
        ReleaseAndCheck();
    }
}

// MARK: files that must fail

TEST_F(Corpus, BrokenFilesFailWithTheirCode) {
    struct Case { const char* file; int result; std::int32_t dumps; };
    const Case cases[] = {
        {"n_empty.bin", kLoadNotMarshal, 0},
        {"n_version49.bin", kLoadNotMarshal, 0},
        {"n_truncated_string.bin", kLoadBadData, 1},
        {"n_bad_object_link.bin", kLoadBadObjectLink, 1},
        {"n_bad_symbol_link.bin", kLoadBadSymbolLink, 1},
        {"n_unknown_type.bin", kLoadUnknownType, 1},
        {"n_huge_count.bin", kLoadBadData, 1},
        {"n_second_dump_truncated.bin", kLoadBadData, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Load(c.file), c.result);
        EXPECT_EQ(DocumentRoot.count, c.dumps) << "the dump that failed is counted";
        ReleaseAndCheck();
    }
}

TEST_F(Corpus, FailedSecondDumpKeepsTheFirstComplete) {
    ASSERT_EQ(Load("n_second_dump_truncated.bin"), kLoadBadData);
    ASSERT_EQ(DocumentRoot.count, 2);
    const MarshalNode* first = &DocumentRoot.data.nodes[0];
    ASSERT_EQ(first->type, '[');
    ASSERT_EQ(first->count, 2);
    EXPECT_EQ(Int(Child(first, 0)), 1);
    EXPECT_EQ(StringText(Child(first, 1)), "first");
    EXPECT_EQ(DocumentRoot.data.nodes[1].type, '"');
}

// Every data file of the corpus is covered by its name: y_ and .rxdata load,
// n_ fail, and nothing else is left lying there unexplained.  (Scripts, notes
// and subdirectories such as expected outputs are not data.)
TEST_F(Corpus, EveryFileLoadsOrFailsByItsName) {
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(QUARNIX_TEST_DATA)) {
        if (!item.is_regular_file()) continue;
        std::string name = item.path().filename().string();
        std::string extension = item.path().extension().string();
        if (extension == ".rb" || extension == ".md" || extension == ".txt") continue;
        SCOPED_TRACE(name);
        ++files;
        bool good = name.rfind("y_", 0) == 0 || item.path().extension() == ".rxdata";
        bool bad = name.rfind("n_", 0) == 0;
        EXPECT_TRUE(good != bad) << "files are named y_*, n_* or *.rxdata";
        int rc = Load(name);
        if (good) {
            EXPECT_EQ(rc, kLoadOk);
        } else {
            EXPECT_NE(rc, kLoadOk);
        }
        ReleaseAndCheck();
    }
    EXPECT_GE(files, 17);
}

}  // namespace corpus
