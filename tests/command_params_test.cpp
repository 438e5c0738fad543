// The event commands' one table of ids: every id a command line names (with
// its kind) is an id the usage index files for that command, and nothing
// else, over every command of the corpus and the game fixtures, and over
// commands whose parameters the editor defines as below.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "game/command_refs.h"
#include "game/game_folder.h"
#include "lens/event_commands.h"
#include "lens/node_access.h"
#include "marshal/document.h"
#include "marshal/load.h"
#include "present/text.h"
#include "tests/marshal_bytes.h"

namespace fs = std::filesystem;

namespace {
using Named = std::set<std::tuple<int, std::int64_t>>;  // kind, id

std::string Utf8(const std::u16string& text) {
    char* bytes = WideToUtf8(text.c_str());
    std::string out = bytes ? bytes : "";
    std::free(bytes);
    return out;
}

// The ids the line names: "[0048: K3]" under names that call every id of
// kind k "K<k>", and the events of "事件 5" (not "公共事件 ...").
Named NamedByReading(const MarshalNode* command) {
    GameNames names;
    const MarshalNode* params = Unwrapped(InstanceVariable(command, "parameters"));
    for (std::int64_t i = 0; params && params->type == '[' && i < ChildCount(params); ++i)
        if (std::int64_t v; IntegerValue(ChildAt(params, i), v))
            for (int k = 0; k < kRefKindCount; ++k) names.names[k][v] = "K" + std::to_string(k);
    const std::string line = Utf8(EventCommandLine(command, &names));
    Named named;
    for (std::size_t at = line.find('['); at != std::string::npos; at = line.find('[', at + 1)) {
        std::size_t end = at + 1;
        while (end < line.size() && (std::isdigit(static_cast<unsigned char>(line[end])) || line[end] == '-')) ++end;
        if (line.compare(end, 3, ": K") != 0) continue;
        named.insert({std::stoi(line.substr(end + 3)), std::stoll(line.substr(at + 1, end - at - 1))});
    }
    const std::string event = "事件 ", common = "共";
    for (std::size_t at = line.find(event); at != std::string::npos; at = line.find(event, at + 1)) {
        const std::size_t digits = at + event.size();
        if (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])) &&
            !(at >= common.size() && line.compare(at - common.size(), common.size(), common) == 0))
            named.insert({static_cast<int>(RefKind::kEvent), std::stoll(line.substr(digits))});
    }
    return named;
}

// The single ids the usage index files for the command (a self switch's
// letter and a range's ends show without a kind).
Named FiledByIndex(const MarshalNode* command) {
    std::vector<Ref> refs;
    CommandRefs(command, refs);
    Named filed;
    for (const Ref& ref : refs)
        if (ref.kind != RefKind::kSelfSwitch && ref.low == ref.high) filed.insert({static_cast<int>(ref.kind), ref.low});
    return filed;
}

int CheckCommands(const MarshalNode* node, const std::string& where, int depth = 0) {
    node = Unwrapped(node);
    if (!node || depth > 64) return 0;
    if (IsEventCommand(node)) {
        EXPECT_EQ(NamedByReading(node), FiledByIndex(node)) << where << ": " << Utf8(EventCommandLine(node));
        return 1;
    }
    int seen = 0;
    if (IsContainerType(node->type))
        for (std::int64_t i = 0; i < ChildCount(node); ++i)
            if (ChildAt(node, i)->type != '@') seen += CheckCommands(ChildAt(node, i), where, depth + 1);
    return seen;
}
}  // namespace

TEST(CommandParams, ReadingsNameWhatTheUsageIndexFilesOverTheCorpus) {
    const fs::path data = QUARNIX_TEST_DATA;
    std::vector<fs::path> files = {data / "Map001.rxdata", data / "y_lens_events.rxdata", data / "y_lens_ruby3.rxdata"};
    for (const char* folder : {"ruby18", "ruby3", "hostile_a", "hostile_b"})
        for (const fs::path& file : ListDataFiles(data / "game" / folder)) files.push_back(file);
    int commands = 0;
    for (const fs::path& file : files) {
        auto doc = std::make_unique<MarshalDocument>();
        // The hostile folders' broken files are the loader's tests.
        if (LoadBounded(*doc, file, kIndexFileBounds) == kLoadOk) commands += CheckCommands(&doc->root, file.string());
        DropDocument(*doc);
    }
    EXPECT_GT(commands, 200);
}

TEST(CommandParams, CommandsReadAndFiledAsTheEditorDefinesThem) {
    using namespace mb;
    struct Case {
        int code;
        std::string params;
        Named expected;
    };
    constexpr int kEvent = static_cast<int>(RefKind::kEvent), kVariable = static_cast<int>(RefKind::kVariable),
                  kSkill = static_cast<int>(RefKind::kSkill), kActor = static_cast<int>(RefKind::kActor);
    const Case cases[] = {
        {208, Arr({Int(1)}), {}},                                          // the transparency flag: no event
        {105, Arr({Int(7)}), {{kVariable, 7}}},                             // button input writes a variable
        {202, Arr({Int(3), Int(1), Int(4), Int(5), Int(2)}), {{kEvent, 3}, {kVariable, 4}, {kVariable, 5}}},
        {202, Arr({Int(3), Int(0), Int(4), Int(5), Int(2)}), {{kEvent, 3}}},  // a place: plain numbers
        {111, Arr({Int(4), Int(2), Int(2), Int(9)}), {{kActor, 2}, {kSkill, 9}}},
    };
    for (const Case& c : cases) {
        const std::string bytes = Dump(Obj(Sym("RPG::EventCommand"),
                                           {{Sym("@code"), Int(c.code)}, {Sym("@indent"), Int(0)}, {Sym("@parameters"), c.params}}));
        auto doc = std::make_unique<MarshalDocument>();
        ASSERT_EQ(LoadIntoDocumentFromMemory(doc.get(), bytes.data(), bytes.size()), kLoadOk);
        const MarshalNode* command = ChildAt(&doc->root, 0);
        EXPECT_EQ(FiledByIndex(command), c.expected) << c.code;
        EXPECT_EQ(NamedByReading(command), c.expected) << c.code << ": " << Utf8(EventCommandLine(command));
        DropDocument(*doc);
    }
}
