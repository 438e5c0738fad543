// Texts of present/: the bounded formatter, the UTF-8 conversions, type
// names, value texts and child labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "marshal/load.h"
#include "present/format_bounded.h"
#include "present/labels.h"
#include "present/value_text.h"
#include "present/viewer_document.h"
#include "tests/hex_bytes.h"

namespace {
// The loaded document for one case, released when the case ends.
struct Loaded {
    explicit Loaded(const char* hex) {
        std::vector<unsigned char> bytes = Bytes(hex);
        rc = LoadDocumentFromMemory(bytes.data(), bytes.size());
    }
    ~Loaded() { ReleaseNode(&DocumentRoot); }
    // The first top-level value, or its child at `element`.
    const MarshalNode* Value(int element = -1) const {
        const MarshalNode* top = ChildAt(&DocumentRoot, 0);
        return element < 0 ? top : ChildAt(top, element);
    }
    int rc;
};

std::u16string Show(Text text) {
    std::u16string s = text.text ? text.text : u"<none>";
    FreeText(text);
    return s;
}

std::u16string Owned(char16_t* text) { return Show(HeapText(text)); }
}  // namespace

TEST(FormatBounded, ConvertsAndCutsWithinTheBuffer) {
    // "%d|%ld|%s|%%" of -7, LONG_MIN and "键x", at every interesting size.
    const std::u16string whole = u"-7|" + std::u16string(LONG_MIN == INT_MIN ? u"-2147483648" : u"-9223372036854775808") + u"|键x|%";
    for (int size = -1; size <= static_cast<int>(whole.size()) + 2; ++size) {
        char16_t buf[40];
        std::fill(std::begin(buf), std::end(buf), u'#');
        FormatBounded(buf, size, u"%d|%ld|%s|%%", -7, LONG_MIN, u"键x");
        if (size <= 0) {
            EXPECT_EQ(buf[0], u'#') << size;
            continue;
        }
        const std::size_t kept = std::min<std::size_t>(size - 1, whole.size());
        EXPECT_EQ(std::u16string(buf), whole.substr(0, kept)) << size;
        EXPECT_EQ(buf[kept + 1], u'#') << "wrote past the terminator at size " << size;
    }
}

TEST(Utf8ToWide, ConvertsLikeTheWindowsRoutine) {
    struct Case { const char* utf8; const char16_t* expected; };
    const Case cases[] = {
        {"", u""}, {"abc", u"abc"}, {"中文", u"中文"},
        {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0080\u07FF\u0800\uD7FF\uE000\uFFFF"},
        {"\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0001F600\U0010FFFF"},
        // The source ends at its first NUL, even inside a sequence.
        {"ab\0cd", u"ab"}, {"\xE4\xB8\0\xAD", u"\uFFFD"},
        // One U+FFFD per maximal ill-formed subsequence.
        {"\x80", u"\uFFFD"}, {"a\x80\xBF" "b", u"a\uFFFD\uFFFDb"},                 // stray continuations
        {"\xC0\x80", u"\uFFFD\uFFFD"}, {"\xC1\xBF", u"\uFFFD\uFFFD"},               // overlong, 2 bytes
        {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x80\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},  // surrogates
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, {"\xF5\x80", u"\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xFE\xFF", u"\uFFFD\uFFFD"},
        {"\xC2", u"\uFFFD"}, {"\xE4\xB8", u"\uFFFD"}, {"\xF0\x9F\x98", u"\uFFFD"},  // cut at the end
        {"\xC2" "a", u"\uFFFDa"}, {"\xF0\x9F\x98" "a", u"\uFFFDa"}, {"\xE4\xB8\xE4\xB8\xAD", u"\uFFFD中"},
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
    };
    for (const Case& c : cases) EXPECT_EQ(Owned(Utf8ToWide(c.utf8)), c.expected) << c.utf8;
    EXPECT_EQ(Utf8ToWide(nullptr), nullptr);
}

TEST(WideToUtf8, EncodesAndReplacesUnpairedSurrogates) {
    struct Case { const char16_t* wide; const char* expected; };
    const Case cases[] = {
        {u"", ""}, {u"a/中文.rxdata", "a/中文.rxdata"}, {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\xD83Dx", "\xEF\xBF\xBDx"}, {u"\xDE00", "\xEF\xBF\xBD"}, {u"x\xD83D", "x\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        char* utf8 = WideToUtf8(c.wide);
        EXPECT_STREQ(utf8, c.expected);
        std::free(utf8);
    }
}

TEST(TypeName, NamesEveryByte) {
    const std::pair<const char*, const char16_t*> names[] = {
        {"0", u"空"}, {"TF", u"布尔"}, {"i", u"整数"}, {"l", u"长整数"}, {"f", u"浮点数"},
        {"\"", u"字符串"}, {"/", u"正则表达式"}, {":", u"符号"}, {";", u"符号链接"}, {"[", u"数组"},
        {"{}", u"哈希表"}, {"o", u"对象"}, {"S", u"结构体"}, {"CI", u"扩展对象"}, {"u", u"二进制数据"},
        {"U", u"自定义导出数据"}, {"c", u"类"}, {"m", u"模块"}, {"@", u"链接"},
    };
    std::u16string expected[256];
    std::fill(std::begin(expected), std::end(expected), u"未知类型");  // 'e', 0, 'M', 'd', ...
    for (const auto& [codes, name] : names)
        for (const char* c = codes; *c; ++c) expected[static_cast<unsigned char>(*c)] = name;
    for (int type = 0; type < 256; ++type) EXPECT_EQ(TypeName(static_cast<std::uint8_t>(type)), expected[type]) << type;
}

TEST(BignumHexText, WritesTheMagnitudeWithoutLeadingZeros) {
    struct Case { const char* bytes; const char16_t* expected; };  // sign byte, magnitude LE
    const Case cases[] = {
        {"2b 34 12 00 00", u"0x1234"}, {"2b 05 00", u"0x5"}, {"2b 00 01", u"0x100"},
        {"2d 00 00 00 40", u"-0x40000000"}, {"2b ff ff", u"0xffff"}, {"2b 10 00 00 00", u"0x10"},
        {"2b 00 00", u"0x"}, {"2d 00 00", u"-0x"}, {"2b", u"0x"}, {"2d", u"-0x"}, {"00 0a 00", u"0xa"},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = Bytes(c.bytes);
        MarshalNode node{};
        node.type = 'l';
        node.count = static_cast<std::int32_t>(bytes.size());
        node.data.bytes = reinterpret_cast<char*>(bytes.data());
        EXPECT_EQ(Owned(BignumHexText(&node)), c.expected) << c.bytes;
    }
    MarshalNode fixnum{};
    fixnum.type = 'i';
    EXPECT_EQ(BignumHexText(&fixnum), nullptr);
}

TEST(ValueText, TextAndKindForEveryType) {
    struct Case { const char* file; int element; TextKind kind; const char16_t* expected; };
    const auto S = TextKind::kStatic, B = TextKind::kBuffer, H = TextKind::kHeap, N = TextKind::kNone;
    const Case cases[] = {
        {"04 08 30", -1, S, u"nil"}, {"04 08 54", -1, S, u"true"}, {"04 08 46", -1, S, u"false"},
        {"04 08 69 fa", -1, B, u"-1"}, {"04 08 69 04 ff ff ff 3f", -1, B, u"1073741823"},
        {"04 08 69 fc 00 00 00 80", -1, B, u"-2147483648"},
        {"04 08 6c 2d 07 34 12 00 00", -1, H, u"-0x1234"},
        {"04 08 66 08 31 2e 35", -1, B, u"1.5"}, {"04 08 66 08 69 6e 66", -1, S, u"+∞"},
        {"04 08 66 09 2d 69 6e 66", -1, S, u"-∞"}, {"04 08 66 08 6e 61 6e", -1, S, u"NaN"},
        {"04 08 22 00", -1, B, u""}, {"04 08 22 08 e4 b8 ad", -1, B, u"中"},
        {"04 08 22 08 61 00 62", -1, B, u"a"}, {"04 08 22 07 61 ff", -1, B, u"a\uFFFD"},
        {"04 08 2f 08 61 62 63 05", -1, B, u"/abc/im"}, {"04 08 3a 08 66 6f 6f", -1, B, u"foo"},
        {"04 08 5b 07 3a 06 61 3b 00", 1, B, u"a"}, {"04 08 5b 07 22 06 61 40 06", 1, N, u"<none>"},
        {"04 08 63 08 46 6f 6f", -1, B, u"Foo"}, {"04 08 6d 08 4d 6f 64", -1, B, u"Mod"},
        {"04 08 6f 3a 08 46 6f 6f 00", -1, B, u"Foo"}, {"04 08 53 3a 08 50 6e 74 00", -1, B, u"Pnt"},
        {"04 08 43 3a 08 53 74 72 22 06 61", -1, B, u"Str"}, {"04 08 55 3a 08 46 6f 6f 30", -1, B, u"Foo"},
        {"04 08 75 3a 08 46 6f 6f 07 01 02", -1, B, u"Foo"},
        {"04 08 49 22 06 61 06 3a 06 45 54", -1, N, u"<none>"},           // a wrapped string has no name
        {"04 08 49 3a 08 e4 b8 ad 06 3a 06 45 54", -1, B, u"中"},         // a wrapped symbol's text
        {"04 08 65 3a 08 4d 6f 64 22 06 61", -1, B, u"a"},                // extended: still the string
        // Converted texts go to the caller's buffer up to 19 bytes, then to the heap.
        {"04 08 22 19 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61", -1, H, u"aaaaaaaaaaaaaaaaaaaa"},
        {"04 08 22 18 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 61", -1, B, u"aaaaaaaaaaaaaaaaaaa"},
        {"04 08 5b 00", -1, N, u"<none>"}, {"04 08 7b 00", -1, N, u"<none>"}, {"04 08 7d 00 30", -1, N, u"<none>"},
    };
    for (const Case& c : cases) {
        Loaded doc(c.file);
        ASSERT_EQ(doc.rc, kLoadOk) << c.file;
        LabelBuffer buf;
        Text text = ValueText(doc.Value(c.element), buf);
        EXPECT_EQ(text.kind, c.kind) << c.file;
        if (c.kind == B) {
            EXPECT_EQ(text.text, buf) << c.file;
        }
        EXPECT_EQ(Show(text), c.expected) << c.file;
    }
}

TEST(ValueText, HalfBuiltAndUnknownNodesHaveNone) {
    LabelBuffer buf;
    for (char type : {'\0', 'e', 'Z', 'f', '"', '/', 'l', ':', 'I', 'o'}) {
        MarshalNode node{};  // every pointer none, as a failed read can leave it
        node.type = static_cast<std::uint8_t>(type);
        EXPECT_EQ(ValueText(&node, buf).kind, TextKind::kNone) << int{type};
    }
    MarshalAttr unnamed{};  // entries a failed read left without a name
    MarshalNode object{};
    object.type = 'o';
    object.count = 1;
    EXPECT_EQ(ChildLabel(&object, 0, buf).kind, TextKind::kNone);
    object.data.attrs = &unnamed;
    EXPECT_EQ(ChildLabel(&object, 0, buf).kind, TextKind::kNone);
}

TEST(ChildLabel, LabelsEveryChildOfEveryContainer) {
    struct Case { const char* file; std::vector<std::u16string> labels; };
    const Case cases[] = {
        {"04 08 5b 08 30 30 30", {u"0", u"1", u"2"}},
        {"04 08 7b 07 69 06 69 07 69 08 69 09", {u"键0", u"值0", u"键1", u"值1"}},
        {"04 08 7d 07 69 06 69 07 69 08 69 09 30", {u"默认值", u"键0", u"值0", u"键1", u"值1"}},
        {"04 08 7d 00 30", {u"默认值"}},
        {"04 08 55 3a 08 46 6f 6f 30", {u"marshal_dump"}},
        {"04 08 43 3a 08 53 74 72 22 06 61", {u"."}},
        {"04 08 49 22 06 61 06 3a 06 45 54", {u".", u"E"}},
        {"04 08 53 3a 08 50 6e 74 07 3a 06 78 69 06 3a 06 79 69 07", {u"x", u"y"}},
        // @hp, name, @名字, @ (empty after the '@'), @ and a malformed byte
        {"04 08 6f 3a 08 46 6f 6f 0a 3a 08 40 68 70 69 06 3a 09 6e 61 6d 65 30 "
         "3a 0c 40 e5 90 8d e5 ad 97 30 3a 06 40 30 3a 07 40 ff 30",
         {u"hp", u"name", u"名字", u"", u"\uFFFD"}},
    };
    for (const Case& c : cases) {
        Loaded doc(c.file);
        ASSERT_EQ(doc.rc, kLoadOk) << c.file;
        const MarshalNode* container = doc.Value();
        ASSERT_EQ(ChildCount(container), static_cast<std::int64_t>(c.labels.size())) << c.file;
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            LabelBuffer buf;
            EXPECT_EQ(Show(ChildLabel(container, static_cast<std::int64_t>(i), buf)), c.labels[i]) << c.file << " " << i;
        }
    }
}

TEST(ChildLabel, PositionsBeyondInt32StayExact) {
    struct Case { std::uint8_t type; std::int64_t position; const char16_t* expected; };
    const Case cases[] = {
        {'}', 4294967293, u"键2147483646"}, {'}', 4294967294, u"值2147483646"},
        {'{', 4294967292, u"键2147483646"}, {'{', 4294967293, u"值2147483646"},
        {'[', 2147483646, u"2147483646"},
    };
    for (const Case& c : cases) {
        MarshalNode node{};  // labels of these kinds never read the children
        node.type = c.type;
        node.count = INT32_MAX;
        LabelBuffer buf;
        EXPECT_EQ(Show(ChildLabel(&node, c.position, buf)), c.expected) << c.position;
    }
}
