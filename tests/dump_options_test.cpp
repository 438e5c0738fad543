// quarnix-dump --find, --path and --json, checked against the full dump,
// a JSON checker and a hand-written expectation.
#include <filesystem>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/json_check.h"
#include "tests/marshal_bytes.h"
#include "tests/dump_support.h"
#include "tests/project_version.h"

using mb::Arr, mb::Float, mb::Hash, mb::HashDef, mb::Int, mb::Ivar, mb::Link, mb::Nil, mb::Obj, mb::Str, mb::Sym,
    mb::True, mb::UserClass, mb::UserDump, mb::UserMarshal;

namespace {
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

std::string WriteTemp(const std::string& bytes, const std::string& name) {
    std::string path = ScratchDir() + name + ".bin";
    WriteFileBytes(path, bytes);
    return path;
}

const char* const kCorpus[] = {"Map001.rxdata", "Actors.rxdata", "y_scalars.bin", "y_composites.bin",
                               "y_three_dumps.bin", "y_two_dumps.bin", "y_map_ruby3.rxdata",
                               "y_float_ruby18.bin", "y_encoded_names.bin", "y_trailing_byte.bin"};
}  // namespace

TEST(DumpOptionsTest, WrongUsageExits64WithTheReason) {
    const std::string file = Data("Map001.rxdata");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--frob", file}, "unknown option --frob"},
        {{file, "--find"}, "--find needs a value"},
        {{"--find", "a", "--find", "b", file}, "--find given twice"},
        {{"--json", "--find", "a", file}, "--json and --find do not go together"},
        {{"--match-case", file}, "--match-case goes with --find"},
        {{"--json=yes", file}, "--json takes no value"},
        {{"--path"}, "--path needs a value"},
    };
    for (const Case& c : cases) {
        ProgramRun run = Dump(c.args);
        EXPECT_EQ(run.status, 64) << c.args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(SplitLines(run.err).at(0), "quarnix-dump: " + c.message);
    }
    ProgramRun help = Dump({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: quarnix-dump", 0), 0u);
    ProgramRun version = Dump({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, NameAndVersion("quarnix-dump") + "\n");
    // "--" ends the options; "--find=TEXT" is the same as "--find TEXT".
    EXPECT_EQ(Dump({"--", file}).out, ReadFileBytes(Data("golden/Map001.rxdata.txt")));
    EXPECT_EQ(Dump({"--find=RPG::Map", file}).out, Dump({"--find", "RPG::Map", file}).out);
}

// Each hit is a row of the full dump whose name, type or value holds the
// text, in the dump's order, printed as path, name, type, value.
TEST(DumpOptionsTest, FindPrintsTheRowsOfTheFullDumpThatShowTheText) {
    for (const char* name : kCorpus) {
        SCOPED_TRACE(name);
        std::vector<std::string> dump = SplitLines(Dump({Data(name)}).out);
        for (const std::string text : {"1", "RPG", "字符串", "data0[", "e"}) {
            std::string expected;
            for (const std::string& line : dump) {
                if (line.empty() || line[0] == '[') continue;
                std::vector<std::string> f = Fields(line);
                ASSERT_EQ(f.size(), 4u);
                if (f[0].find(text) != std::string::npos || f[1].find(text) != std::string::npos ||
                    f[2].find(text) != std::string::npos)
                    expected += f[3] + "\t" + f[0] + "\t" + f[1] + "\t" + f[2] + "\n";
            }
            ProgramRun run = Dump({"--match-case", "--find", text, Data(name)});
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.out, expected) << text;
        }
    }
    // Without --match-case, ASCII and full-width letters match either case.
    EXPECT_EQ(Dump({"--find", "rpg::map", Data("Map001.rxdata")}).out, "data0\t0\t对象\tRPG::Map\n");
}

// The blocks at and below the item PATH names are exactly those of the full
// dump; a row's path prints its item's header and that row alone.
TEST(DumpOptionsTest, PathPrintsTheBlocksBelowItsItem) {
    std::vector<std::string> dump = SplitLines(Dump({Data("Map001.rxdata")}).out);
    for (const std::string path : {"", "data0", "data0.events", "data0.events.values[3].pages[0]",
                                   "data0.events.values[19]", "data0.events.values[3].pages[0].list[1]"}) {
        std::string expected;
        bool inside = false;
        for (const std::string& line : dump) {
            if (line[0] == '[') {
                std::string header = line.substr(1, line.size() - 2);
                inside = path.empty() || (header.rfind(path, 0) == 0 &&
                                          (header.size() == path.size() || header[path.size()] == '.' || header[path.size()] == '['));
            }
            if (inside) expected += line + "\n";
        }
        ProgramRun run = Dump({"--path", path, Data("Map001.rxdata")});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, expected) << path;
    }
    ProgramRun row = Dump({"--path", "data0.events.values[3].pages[0].list[1].code", Data("Map001.rxdata")});
    EXPECT_EQ(SplitLines(row.out).size(), 2u);
    EXPECT_EQ(SplitLines(row.out).at(0), "[data0.events.values[3].pages[0].list[1]]");
    EXPECT_EQ(Fields(SplitLines(row.out).at(1)).at(3), "data0.events.values[3].pages[0].list[1].code");

    ProgramRun missing = Dump({"--path", "data0.events.values[3].pagez[0]", Data("Map001.rxdata")});
    EXPECT_EQ(missing.status, 64);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "data0.events.values[3] 没有 pagez[0]\n");
}

TEST(DumpOptionsTest, JsonMapsEveryKindOfValue) {
    std::string doc = mb::Dump(Arr({
        Nil(), True(), Int(-5), Float("1.5"), Float("nan"), Str("a\"b\x01"), Str("\xff" "A"),
        Hash({{Int(1), Str("x")}}), HashDef({}, Int(0)), Obj(Sym("P"), {{Sym("@x"), Int(1)}}),
        Obj(Sym("S"), {{Sym("a"), Nil()}}, 'S'), Link(3), UserClass(Sym("L"), Arr({})),
        Ivar(Str("\xc3\xa9"), {{Sym("E"), True()}}), UserMarshal(Sym("M"), Int(1)), UserDump(Sym("T"), "\x01\x02"),
        Sym("s"), "e" + Sym("Mod") + Arr({}),
    }));
    std::string path = WriteTemp(doc, "json-kinds");
    ProgramRun run = Dump({"--json", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "[[null,true,-5,1.5,{\"type\":\"float\",\"value\":\"NaN\"},\"a\\\"b\\u0001\","
              "{\"type\":\"string\",\"value\":\"\xEF\xBF\xBD" "A\",\"bytes\":\"ff41\"},"
              "{\"type\":\"hash\",\"pairs\":[[1,\"x\"]]},{\"type\":\"hash\",\"default\":0,\"pairs\":[]},"
              "{\"type\":\"object\",\"class\":\"P\",\"ivars\":{\"x\":1}},"
              "{\"type\":\"struct\",\"class\":\"S\",\"members\":{\"a\":null}},"
              "{\"type\":\"link\",\"path\":\"data0[5]\"},{\"type\":\"userclass\",\"class\":\"L\",\"value\":[]},"
              "{\"type\":\"ivar\",\"value\":\"\xc3\xa9\",\"ivars\":{\"E\":true}},"
              "{\"type\":\"usermarshal\",\"class\":\"M\",\"value\":1},"
              "{\"type\":\"userdef\",\"class\":\"T\",\"bytes\":\"0102\"},{\"type\":\"symbol\",\"name\":\"s\"},"
              "{\"type\":\"extended\",\"modules\":[\"Mod\"],\"value\":[]}]]\n");
    EXPECT_EQ(Dump({"--json", "--path", "data0[9]", path}).out, "{\"type\":\"object\",\"class\":\"P\",\"ivars\":{\"x\":1}}\n");
    RemoveScratchDir();
}

// Strings in JSON at the edges of each byte range: controls, the last
// ASCII bytes, and UTF-8 forms at and past the ends of what is well formed,
// each ill-formed part one U+FFFD (as Unicode recommends) with the bytes
// beside.  Expected texts written by hand from RFC 8259 and Unicode.
TEST(DumpOptionsTest, JsonStringsAtTheEdgesOfEachByteRange) {
    struct JsonStringCase {
        std::string bytes;
        std::string json;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    auto bad = [](const std::string& value, const char* hex) {
        return "{\"type\":\"string\",\"value\":\"" + value + "\",\"bytes\":\"" + hex + "\"}";
    };
    const JsonStringCase cases[] = {
        {"\x1f", "\"\\u001f\""},
        {" ~\x7f", "\" ~\x7f\""},
        {"\x80", bad(fffd, "80")},
        {"a\xbf", bad("a" + fffd, "61bf")},
        {"\xc1\xbf", bad(fffd + fffd, "c1bf")},
        {"\xc2\x80", "\"\xc2\x80\""},
        {"\xdf\xbf", "\"\xdf\xbf\""},
        {"\xe0\x9f\x80", bad(fffd + fffd + fffd, "e09f80")},
        {"\xe0\xa0\x80", "\"\xe0\xa0\x80\""},
        {"\xed\xa0\x80", bad(fffd + fffd + fffd, "eda080")},
        {"\xe4\xbd", bad(fffd, "e4bd")},
        {"\xf4\x8f\xbf\xbf", "\"\xf4\x8f\xbf\xbf\""},
        {"\xf4\x90\x80\x80", bad(fffd + fffd + fffd + fffd, "f4908080")},
    };
    for (const JsonStringCase& c : cases) {
        std::string path = WriteTemp(mb::Dump(Str(c.bytes)), "json-string");
        ProgramRun run = Dump({"--json", path});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "[" + c.json + "]\n") << c.json;
    }
    RemoveScratchDir();
}

// --json and --find load without the tree; a failure reads the same.
TEST(DumpOptionsTest, FailedLoadsReadTheSameWithEveryOption) {
    for (const char* name : {"no-such-file.rxdata", "n_empty.bin", "n_truncated_string.bin", "n_bad_object_link.bin",
                             "n_bad_symbol_link.bin", "n_unknown_type.bin"}) {
        ProgramRun plain = Dump({Data(name)});
        for (std::vector<std::string> args : {std::vector<std::string>{"--json"}, {"--find", "x"}, {"--path", "data0"}}) {
            args.push_back(Data(name));
            ProgramRun run = Dump(args);
            EXPECT_EQ(run.status, plain.status) << name << " " << args[0];
            EXPECT_EQ(run.err, plain.err) << name << " " << args[0];
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(DumpOptionsTest, JsonIsValidForEveryCorpusFileAndDeepNesting) {
    for (const char* name : kCorpus) {
        ProgramRun run = Dump({"--json", Data(name)});
        EXPECT_EQ(run.status, 0) << name;
        EXPECT_EQ(json_check::FirstError(run.out), -1) << name;
    }
    EXPECT_NE(Dump({"--json", Data("Actors.rxdata")}).out.find("\"name\":\"阿尔西斯\""), std::string::npos);
    std::string deep;
    for (int i = 0; i < 50000; ++i) deep += "[\x06";
    deep += "0";
    std::string path = WriteTemp(mb::Dump(deep), "json-deep");
    ProgramRun run = Dump({"--json", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(json_check::FirstError(run.out), -1);
    EXPECT_EQ(run.out.size(), 2 * 50001 + 4 + 1);  // "[" * 50001, "null", "]" * 50001, "\n"
    RemoveScratchDir();
}

// The files the fuzzer kept: test.sh runs this after fuzzing, with
// QUARNIX_FUZZ_CORPUS naming the fuzzer's folder.
TEST(DumpOptionsTest, JsonIsValidForEveryFuzzCorpusFileThatLoads) {
    const char* corpus = std::getenv("QUARNIX_FUZZ_CORPUS");
    if (!corpus || !std::filesystem::is_directory(corpus)) GTEST_SKIP() << "QUARNIX_FUZZ_CORPUS names no folder";
    std::filesystem::path dir = corpus;
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        ProgramRun run = Dump({"--json", entry.path().string()});
        if (run.status != 0) continue;
        ++loaded;
        EXPECT_EQ(json_check::FirstError(run.out), -1) << entry.path();
    }
    EXPECT_GT(loaded, 0);
}
