// Loads the Ruby-made files of tests/data/ (see make_fixtures.rb and
// README.md there) and checks what they decode to: types, counts, values,
// where links point, and that releasing the document frees every block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "marshal/alloc.h"
#include "marshal/load.h"
#include "marshal/node.h"

namespace {

// Stands in for a child or entry that is not there, so that a failed check
// is reported and the test goes on without touching memory it should not.
const MarshalNode kMissingNode{};
const MarshalAttr kMissingEntry{};

std::string DataPath(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/" + name; }

std::string Text(const char* p) { return p ? std::string(p) : std::string("(none)"); }

const MarshalNode* Child(const MarshalNode* n, std::int64_t i) {
    if (i < 0 || i >= ChildCount(n)) {
        ADD_FAILURE() << "no child " << i << " in a node of type '" << static_cast<char>(n->type) << "' with "
                      << ChildCount(n) << " children";
        return &kMissingNode;
    }
    return ChildAt(n, i);
}

const MarshalAttr* Entry(const MarshalNode* n, std::int32_t i) {
    if (!IsEntryListType(n->type) || !n->data.attrs || i < 0 || i >= n->count) {
        ADD_FAILURE() << "no entry " << i << " in a node of type '" << static_cast<char>(n->type) << "'";
        return &kMissingEntry;
    }
    return &n->data.attrs[i];
}

// The value of the entry with this name.
const MarshalNode* Field(const MarshalNode* n, const char* name) {
    if (IsEntryListType(n->type) && n->data.attrs)
        for (std::int32_t i = 0; i < n->count; ++i)
            if (n->data.attrs[i].name && std::strcmp(n->data.attrs[i].name, name) == 0) return &n->data.attrs[i].value;
    ADD_FAILURE() << "no entry " << name << " in a node of type '" << static_cast<char>(n->type) << "' named "
                  << Text(n->name);
    return &kMissingNode;
}

// The stored bytes of a string, bignum or user dump.
std::string Bytes(const MarshalNode* n) {
    if (!n->data.bytes || n->count <= 0) return {};
    return std::string(n->data.bytes, static_cast<std::size_t>(n->count));
}

std::int32_t Int(const MarshalNode* n) {
    EXPECT_EQ(n->type, 'i');
    return n->type == 'i' ? FixnumValue(n) : INT32_MIN;
}

// The text of a string, whether plain or wrapped in 'I' (Ruby 3 style).
std::string StringText(const MarshalNode* n) {
    if (n->type == 'I') n = &Entry(n, 0)->value;
    EXPECT_EQ(n->type, '"');
    return n->type == '"' ? Bytes(n) : std::string();
}

// Type counts over a whole document (links are not followed), with 'o' and
// 'u' counted by class name and RPG::EventCommand by code as well.
struct Census {
    std::map<char, long> types;
    std::map<std::string, long> classes;
    std::map<int, long> commandCodes;
};

Census Count(const MarshalNode* root) {
    Census c;
    std::vector<const MarshalNode*> stack{root};
    while (!stack.empty()) {
        const MarshalNode* n = stack.back();
        stack.pop_back();
        c.types[static_cast<char>(n->type)]++;
        if (n->type == 'o' || n->type == 'u') c.classes[Text(n->name)]++;
        if (n->type == 'o' && Text(n->name) == "RPG::EventCommand") c.commandCodes[Int(Field(n, "code"))]++;
        for (std::int64_t i = ChildCount(n); i-- > 0;) stack.push_back(ChildAt(n, i));
    }
    return c;
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override { live_ = LiveAllocationCount(); }
    void TearDown() override { ReleaseAndCheck(); }

    void ReleaseAndCheck() {
        ReleaseNode(&DocumentRoot);
        EXPECT_EQ(LiveAllocationCount(), live_) << "blocks left after releasing the document";
    }

    static int Load(const std::string& name) {
        std::FILE* f = std::fopen(DataPath(name).c_str(), "rb");
        if (!f) {
            ADD_FAILURE() << "cannot open " << DataPath(name);
            return -1;
        }
        return LoadDocument(f);
    }

    // Loads a file that must succeed with `dumps` top-level values, and
    // returns the first (or kMissingNode).
    static const MarshalNode* LoadOk(const std::string& name, std::int32_t dumps = 1) {
        int rc = Load(name);
        EXPECT_EQ(rc, kLoadOk) << name;
        EXPECT_EQ(DocumentRoot.type, '[');
        EXPECT_EQ(DocumentRoot.count, dumps) << name;
        if (rc != kLoadOk || DocumentRoot.count < 1) return &kMissingNode;
        return &DocumentRoot.data.nodes[0];
    }

    long live_ = 0;
};

// MARK: scalars

TEST_F(Corpus, ScalarsKeepEveryPackedIntegerSize) {
    const MarshalNode* a = LoadOk("y_scalars.bin");
    ASSERT_EQ(a->type, '[');
    ASSERT_EQ(a->count, 43);
    EXPECT_EQ(Child(a, 0)->type, '0');
    EXPECT_EQ(Child(a, 1)->type, 'T');
    EXPECT_EQ(Child(a, 2)->type, 'F');

    struct Case { int index; std::int32_t value; };
    const Case cases[] = {
        {3, 0}, {4, 1}, {5, 122}, {6, 123}, {7, -123}, {8, -124}, {9, 255}, {10, 256},
        {11, -256}, {12, -257}, {13, 65535}, {14, 65536}, {15, (1 << 30) - 1}, {16, -(1 << 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const MarshalNode* n = Child(a, c.index);
        EXPECT_EQ(n->type, 'i');
        EXPECT_EQ(FixnumValue(n), c.value);
        EXPECT_EQ(n->data.bits >> 32, 0u) << "the high half of a fixnum's slot is 0";
    }
}

TEST_F(Corpus, ScalarsKeepBignumBytes) {
    const MarshalNode* a = LoadOk("y_scalars.bin");
    ASSERT_EQ(a->type, '[');
    struct Case { int index; std::string bytes; };
    const Case cases[] = {
        {17, std::string("+\0\0\0\x40", 5)},                          // 2**30: two words
        {18, std::string("+\0\0\0\0\0\x01", 7)},                      // 2**40
        {19, std::string("-\0\0\0\0\0\0\0\0\x40\0", 11)},             // -2**70
        {20, std::string("+\0\0\0\0\0\0\0\0\x01\0", 11)},             // 2**64
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const MarshalNode* n = Child(a, c.index);
        EXPECT_EQ(n->type, 'l');
        EXPECT_EQ(n->count, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(Bytes(n), c.bytes);
    }
}

TEST_F(Corpus, ScalarsKeepFloatTextMarkerAndValue) {
    const MarshalNode* a = LoadOk("y_scalars.bin");
    ASSERT_EQ(a->type, '[');
    struct Case { int index; const char* text; std::int32_t marker; double value; };
    const Case cases[] = {
        {21, "1.5", 0, 1.5},
        {22, "-0", 0, -0.0},
        {23, "1e100", 0, 1e100},
        {24, "inf", '+', 0.0},
        {25, "-inf", '-', 0.0},
        {26, "nan", '?', 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const MarshalNode* n = Child(a, c.index);
        ASSERT_EQ(n->type, 'f');
        EXPECT_EQ(Text(n->text), c.text);
        EXPECT_EQ(n->class_symbol.marker, c.marker);
        EXPECT_EQ(n->data.real, c.value);
        EXPECT_EQ(std::signbit(n->data.real), std::signbit(c.value));
    }
    // Ruby writes the second 1.5 (the same immediate float) as a link.
    const MarshalNode* again = Child(a, 27);
    EXPECT_EQ(again->type, '@');
    EXPECT_EQ(again->data.target, Child(a, 21));
}

TEST_F(Corpus, ScalarsKeepStringsSymbolsRegexpAndPaths) {
    const MarshalNode* a = LoadOk("y_scalars.bin");
    ASSERT_EQ(a->type, '[');
    struct StringCase { int index; std::string bytes; };
    const StringCase strings[] = {
        {28, "hello"}, {29, ""}, {30, std::string("a\0b", 3)}, {31, "\xE4\xB8\xAD\xE6\x96\x87"},
    };
    for (const StringCase& c : strings) {
        SCOPED_TRACE(c.index);
        const MarshalNode* n = Child(a, c.index);
        EXPECT_EQ(n->type, '"');
        EXPECT_EQ(n->count, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(Bytes(n), c.bytes);
        ASSERT_NE(n->data.bytes, nullptr) << "even an empty string owns its NUL";
        EXPECT_EQ(n->data.bytes[n->count], '\0');
    }

    EXPECT_EQ(Child(a, 32)->type, ':');
    EXPECT_EQ(Text(Child(a, 32)->name), "foo");
    EXPECT_EQ(Child(a, 33)->type, ':');
    EXPECT_EQ(Text(Child(a, 33)->name), "bar");
    for (int i : {34, 35}) {
        SCOPED_TRACE(i);
        const MarshalNode* link = Child(a, i);
        EXPECT_EQ(link->type, ';');
        EXPECT_EQ(Text(link->name), "foo");
        EXPECT_EQ(link->data.target, Child(a, 32));
    }

    // /ab+c/imx: Ruby 3 wraps the regexp in 'I' with E false.
    const MarshalNode* re = Child(a, 36);
    ASSERT_EQ(re->type, 'I');
    ASSERT_EQ(re->count, 2);
    EXPECT_EQ(re->name, nullptr);
    EXPECT_STREQ(Entry(re, 0)->name, ".");
    EXPECT_EQ(EntryNameSymbol(Entry(re, 0)), nullptr);
    EXPECT_EQ(Entry(re, 0)->value.type, '/');
    EXPECT_EQ(Text(Entry(re, 0)->value.data.bytes), "/ab+c/imx");
    EXPECT_STREQ(Entry(re, 1)->name, "E");
    EXPECT_EQ(Entry(re, 1)->value.type, 'F');

    struct PathCase { int index; std::uint8_t type; const char* path; };
    const PathCase paths[] = {{37, 'c', "String"}, {38, 'c', "A::B"}, {39, 'm', "Kernel"}, {40, 'm', "CustomModule"}};
    for (const PathCase& c : paths) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Child(a, c.index)->type, c.type);
        EXPECT_EQ(Text(Child(a, c.index)->name), c.path);
    }

    const MarshalNode* obj = Child(a, 41);
    EXPECT_EQ(obj->type, 'o');
    EXPECT_EQ(Text(obj->name), "Obj");
    ASSERT_EQ(obj->count, 2);
    EXPECT_STREQ(Entry(obj, 0)->name, "a");
    EXPECT_EQ(Int(&Entry(obj, 0)->value), 1);
    EXPECT_STREQ(Entry(obj, 1)->name, "b");
    EXPECT_EQ(Entry(obj, 1)->value.type, '0');
    EXPECT_EQ(Child(a, 42)->type, '@');
    EXPECT_EQ(Child(a, 42)->data.target, obj);
}

// MARK: composites

class CorpusComposites : public Corpus {
protected:
    void SetUp() override {
        Corpus::SetUp();
        a_ = LoadOk("y_composites.bin");
        ASSERT_EQ(a_->type, '[');
        ASSERT_EQ(a_->count, 31);
    }
    const MarshalNode* At(int i) { return Child(a_, i); }
    const MarshalNode* a_ = &kMissingNode;
};

TEST_F(CorpusComposites, ArraysAndHashesKeepTheirChildPositions) {
    const MarshalNode* nested = At(0);
    ASSERT_EQ(nested->type, '[');
    ASSERT_EQ(nested->count, 3);
    EXPECT_EQ(Int(Child(nested, 0)), 1);
    EXPECT_EQ(Child(nested, 1)->type, '[');
    EXPECT_EQ(Int(Child(Child(nested, 1), 1)), 3);
    EXPECT_EQ(Child(nested, 2)->type, '[');
    EXPECT_EQ(Child(nested, 2)->count, 0);
    EXPECT_EQ(Child(nested, 2)->data.nodes, nullptr);

    const MarshalNode* hash = At(1);
    ASSERT_EQ(hash->type, '{');
    ASSERT_EQ(hash->count, 2);
    EXPECT_EQ(Int(Child(hash, 0)), 1);
    EXPECT_EQ(StringText(Child(hash, 1)), "one");
    EXPECT_EQ(Child(hash, 2)->type, ':');
    EXPECT_EQ(Text(Child(hash, 2)->name), "two");
    EXPECT_EQ(Int(Child(hash, 3)), 2);

    EXPECT_EQ(At(2)->type, '{');
    EXPECT_EQ(At(2)->count, 0);
    EXPECT_EQ(At(2)->data.nodes, nullptr);

    // Hash.new(5) with {1=>2, 3=>4}: the default comes last in the file but
    // sits at position 0.
    const MarshalNode* withDefault = At(3);
    ASSERT_EQ(withDefault->type, '}');
    ASSERT_EQ(withDefault->count, 2);
    ASSERT_EQ(ChildCount(withDefault), 5);
    const std::int32_t expected[] = {5, 1, 2, 3, 4};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Int(Child(withDefault, i)), expected[i]) << i;

    const MarshalNode* emptyDefault = At(4);
    ASSERT_EQ(emptyDefault->type, '}');
    EXPECT_EQ(emptyDefault->count, 0);
    ASSERT_EQ(ChildCount(emptyDefault), 1);
    EXPECT_EQ(Int(Child(emptyDefault, 0)), 7);
}

TEST_F(CorpusComposites, ObjectsAndStructsNameTheirEntries) {
    struct EntryCase { const char* name; std::int32_t value; };
    struct Case { int index; std::uint8_t type; const char* className; bool ownsClassSymbol; std::vector<EntryCase> entries; };
    const Case cases[] = {
        // The first Obj brings the class symbol and the entry symbols.
        {5, 'o', "Obj", true, {{"a", 1}, {"b", INT32_MIN}}},
        // Struct members carry no '@' and keep their names as they are.
        {6, 'S', "Point", true, {{"x", 1}, {"y", 2}}},
        // The extended Obj names its class and entries through symbol links.
        {13, 'o', "Obj", false, {{"a", 1}, {"b", 2}}},
        {29, 'o', "Empty", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const MarshalNode* n = At(c.index);
        EXPECT_EQ(n->type, c.type);
        EXPECT_EQ(Text(n->name), c.className);
        EXPECT_EQ(n->class_symbol.symbol != nullptr, c.ownsClassSymbol);
        ASSERT_EQ(n->count, static_cast<std::int32_t>(c.entries.size()));
        if (c.entries.empty()) {
            EXPECT_EQ(n->data.attrs, nullptr);
        }
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            const MarshalAttr* e = Entry(n, static_cast<std::int32_t>(i));
            EXPECT_STREQ(e->name, c.entries[i].name);
            EXPECT_EQ(EntryNameSymbol(e) != nullptr, c.ownsClassSymbol) << "entry names come with the class name";
            if (c.entries[i].value != INT32_MIN) {
                EXPECT_EQ(Int(&e->value), c.entries[i].value);
            }
        }
    }
    EXPECT_EQ(StringText(&Entry(At(5), 1)->value), "x");
}

TEST_F(CorpusComposites, UserClassWrapsOneValueInEntryDot) {
    struct Case { int index; const char* className; std::uint8_t wrapped; std::int32_t wrappedCount; };
    const Case cases[] = {{7, "MyString", '"', 3}, {8, "MyArray", '[', 2}, {9, "MyHash", '{', 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        const MarshalNode* n = At(c.index);
        ASSERT_EQ(n->type, 'C');
        EXPECT_EQ(Text(n->name), c.className);
        EXPECT_NE(n->class_symbol.symbol, nullptr);
        ASSERT_EQ(n->count, 1);
        const MarshalAttr* e = Entry(n, 0);
        EXPECT_STREQ(e->name, ".");
        EXPECT_EQ(EntryNameSymbol(e), nullptr);
        EXPECT_EQ(e->value.type, c.wrapped);
        EXPECT_EQ(e->value.count, c.wrappedCount);
    }
    EXPECT_EQ(Bytes(&Entry(At(7), 0)->value), "sub");
    EXPECT_EQ(Int(Child(&Entry(At(8), 0)->value, 1)), 2);
}

TEST_F(CorpusComposites, IvarWrapperPutsTheValueFirstThenTheVariables) {
    struct Case {
        int index;
        const char* wrapperName;  // the 'I' node's own name, "(none)" for none
        std::uint8_t wrapped;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {10, "MyRegexp", '/', {".", "E"}},          // 'I' around 'C' around '/'
        {14, "(none)", '"', {".", "E"}},            // UTF-8 string
        {15, "(none)", '"', {".", "note"}},         // binary string with @note
        {16, "(none)", '"', {".", "E", "note"}},    // UTF-8 string with @note
        {22, "\xE4\xB8\xAD\xE6\x96\x87", ':', {".", "E"}},  // UTF-8 symbol
        {24, "DumpedUtf8", 'u', {".", "E"}},        // UTF-8 user dump
        {26, "MyString", '"', {".", "E"}},          // 'I' around 'C' around '"'
        {27, "(none)", '[', {".", "tag"}},          // array with @tag
        {30, "(none)", '"', {".", "encoding"}},     // ISO-8859-1 string
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const MarshalNode* n = At(c.index);
        ASSERT_EQ(n->type, 'I');
        EXPECT_EQ(Text(n->name), c.wrapperName);
        ASSERT_EQ(n->count, static_cast<std::int32_t>(c.names.size()));
        for (std::size_t i = 0; i < c.names.size(); ++i) EXPECT_EQ(Text(Entry(n, static_cast<std::int32_t>(i))->name), c.names[i]);
        EXPECT_EQ(EntryNameSymbol(Entry(n, 0)), nullptr);
        EXPECT_EQ(Entry(n, 0)->value.type, c.wrapped);
    }

    EXPECT_EQ(Text(Entry(At(10), 0)->value.data.bytes), "/ab/");
    EXPECT_EQ(Entry(At(10), 1)->value.type, 'F');
    EXPECT_EQ(Bytes(&Entry(At(14), 0)->value), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(Entry(At(14), 1)->value.type, 'T');
    EXPECT_EQ(Bytes(&Entry(At(15), 0)->value), "note");
    EXPECT_EQ(Int(&Entry(At(15), 1)->value), 1);
    EXPECT_EQ(Bytes(&Entry(At(16), 0)->value), "\xC3\xBC");
    EXPECT_EQ(Int(&Entry(At(16), 2)->value), 2);
    EXPECT_EQ(Text(Entry(At(22), 0)->value.name), "\xE4\xB8\xAD\xE6\x96\x87");
    const MarshalNode* dumped = &Entry(At(24), 0)->value;
    EXPECT_EQ(Text(dumped->name), "DumpedUtf8");
    EXPECT_EQ(Bytes(dumped), "\xC3\xA9");
    EXPECT_EQ(Bytes(&Entry(At(26), 0)->value), "\xC3\xBC");
    EXPECT_EQ(At(26)->class_symbol.symbol, nullptr) << "MyString came through a symbol link";
    EXPECT_NE(At(10)->class_symbol.symbol, nullptr);
    EXPECT_EQ(Int(Child(&Entry(At(27), 0)->value, 0)), 1);
    EXPECT_EQ(Int(Child(&Entry(At(27), 1)->value, 0)), 2);
    EXPECT_EQ(Bytes(&Entry(At(30), 0)->value), "\xE9");
    EXPECT_EQ(StringText(&Entry(At(30), 1)->value), "ISO-8859-1");
}

TEST_F(CorpusComposites, UserDumpAndUserMarshal) {
    const MarshalNode* u = At(11);
    ASSERT_EQ(u->type, 'u');
    EXPECT_EQ(Text(u->name), "Dumped");
    EXPECT_EQ(u->count, 5);
    EXPECT_EQ(Bytes(u), std::string("\x01\x02\x03\x00\xFF", 5));

    const MarshalNode* m = At(12);
    ASSERT_EQ(m->type, 'U');
    EXPECT_EQ(Text(m->name), "Marshalled");
    ASSERT_EQ(ChildCount(m), 1);
    const MarshalNode* value = Child(m, 0);
    ASSERT_EQ(value->type, '[');
    ASSERT_EQ(value->count, 2);
    EXPECT_EQ(Int(Child(value, 0)), 1);
    EXPECT_EQ(StringText(Child(value, 1)), "two");
}

TEST_F(CorpusComposites, ExtensionKeepsTheModuleNamedFirst) {
    // obj.extend(M1); obj.extend(M2) is written 'e' M2 'e' M1 'o' Obj.
    const MarshalNode* n = At(13);
    EXPECT_EQ(n->type, 'o');
    ASSERT_NE(NodeExtension(n), nullptr);
    EXPECT_EQ(NodeExtension(n)->type, ':');
    EXPECT_EQ(Text(NodeExtension(n)->name), "M2");
}

TEST_F(CorpusComposites, LinksPointAtTheNodeThatTookTheNumber) {
    struct Case { int link; const MarshalNode* target; std::uint8_t targetType; };
    const Case cases[] = {
        {20, At(7), 'C'},                        // the MyString again: its 'C' wrapper
        {21, At(14), 'I'},                       // the UTF-8 string again: its 'I' wrapper
        {25, At(13), 'o'},                       // the extended object again
        {28, &Entry(At(27), 1)->value, '['},     // the array held by @tag
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        const MarshalNode* n = At(c.link);
        ASSERT_EQ(n->type, '@');
        EXPECT_EQ(n->data.target, c.target);
        EXPECT_EQ(n->data.target->type, c.targetType);
    }
    // The UTF-8 symbol again: a symbol link to the 'I' that took its number.
    const MarshalNode* symlink = At(23);
    ASSERT_EQ(symlink->type, ';');
    EXPECT_EQ(symlink->data.target, At(22));
    EXPECT_EQ(Text(symlink->name), "\xE4\xB8\xAD\xE6\x96\x87");
}

TEST_F(CorpusComposites, ValuesThatContainThemselves) {
    const MarshalNode* array = At(17);
    ASSERT_EQ(array->type, '[');
    ASSERT_EQ(array->count, 1);
    EXPECT_EQ(Child(array, 0)->type, '@');
    EXPECT_EQ(Child(array, 0)->data.target, array);

    const MarshalNode* hash = At(18);
    ASSERT_EQ(hash->type, '{');
    ASSERT_EQ(hash->count, 1);
    EXPECT_EQ(StringText(Child(hash, 0)), "self");
    EXPECT_EQ(Child(hash, 1)->type, '@');
    EXPECT_EQ(Child(hash, 1)->data.target, hash);

    const MarshalNode* obj = At(19);
    ASSERT_EQ(obj->type, 'o');
    EXPECT_EQ(Text(obj->name), "SelfRef");
    EXPECT_EQ(Field(obj, "me")->type, '@');
    EXPECT_EQ(Field(obj, "me")->data.target, obj);
    EXPECT_EQ(Int(Field(obj, "n")), 7);
}

// MARK: Ruby 1.8 floats

TEST_F(Corpus, Ruby18FloatsParseUpToTheNulAndKeepTheRest) {
    const MarshalNode* a = LoadOk("y_float_ruby18.bin");
    ASSERT_EQ(a->type, '[');
    ASSERT_EQ(a->count, 11);
    struct Case { std::string text; std::int32_t marker; double value; };
    const Case cases[] = {
        {std::string("1.5\0\x00\x80", 6), 0, 1.5},
        {std::string("0.10000000000000001\0\x99\x9a", 22), 0, 0.1},
        {std::string("-0.66666666666666663\0UU", 23), 0, -2.0 / 3.0},
        {std::string("1e+100\0\xC3}", 9), 0, 1e100},
        {"1.5", 0, 1.5},
        {"-0", 0, -0.0},
        {"inf", '+', 0.0},
        {"-inf", '-', 0.0},
        {"nan", '?', 0.0},
        {std::string("2.5\0" "99", 6), 0, 2.5},
        {std::string("nan\0\x01", 5), '?', 0.0},
    };
    for (int i = 0; i < 11; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        const MarshalNode* n = Child(a, i);
        ASSERT_EQ(n->type, 'f');
        ASSERT_NE(n->text, nullptr);
        EXPECT_EQ(std::string(n->text, c.text.size()), c.text) << "the text keeps the bytes after its NUL";
        EXPECT_EQ(n->text[c.text.size()], '\0');
        EXPECT_EQ(n->class_symbol.marker, c.marker);
        EXPECT_EQ(n->data.real, c.value);
        EXPECT_EQ(std::signbit(n->data.real), std::signbit(c.value));
    }
}

// MARK: files of several dumps

TEST_F(Corpus, DumpsAreCountedInFileOrder) {
    struct Case { const char* file; std::int32_t dumps; std::vector<std::uint8_t> types; };
    const Case cases[] = {
        {"y_two_dumps.bin", 2, {'[', '['}},
        {"y_three_dumps.bin", 3, {'[', 'i', '"'}},
        {"y_trailing_byte.bin", 1, {'['}},
        {"y_scalars.bin", 1, {'['}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        LoadOk(c.file, c.dumps);
        for (std::int32_t i = 0; i < DocumentRoot.count && i < c.dumps; ++i) EXPECT_EQ(DocumentRoot.data.nodes[i].type, c.types[i]) << i;
        ReleaseAndCheck();
    }
}

TEST_F(Corpus, EveryDumpRestartsItsNumbering) {
    LoadOk("y_two_dumps.bin", 2);
    ASSERT_EQ(DocumentRoot.count, 2);
    const MarshalNode* first = &DocumentRoot.data.nodes[0];
    const MarshalNode* second = &DocumentRoot.data.nodes[1];
    ASSERT_EQ(first->count, 4);
    ASSERT_EQ(second->count, 4);
    EXPECT_EQ(StringText(Child(first, 0)), "first");
    EXPECT_EQ(Child(first, 1)->type, ':');
    EXPECT_EQ(Child(first, 3)->type, '@');
    EXPECT_EQ(Child(first, 3)->data.target, Child(first, 2));
    // The second dump writes :sym anew, and its link number 2 is its own x.
    EXPECT_EQ(Child(second, 0)->type, ':');
    EXPECT_EQ(Text(Child(second, 0)->name), "sym");
    EXPECT_EQ(Child(second, 3)->type, '@');
    EXPECT_EQ(Child(second, 3)->data.target, Child(second, 2));
    EXPECT_EQ(Int(Child(Child(second, 2), 0)), 1);
}

TEST_F(Corpus, SelfLinkOfAnEarlierDumpSurvivesLaterDumps) {
    LoadOk("y_three_dumps.bin", 3);
    ASSERT_EQ(DocumentRoot.count, 3);
    const MarshalNode* self = &DocumentRoot.data.nodes[0];
    ASSERT_EQ(self->type, '[');
    ASSERT_EQ(self->count, 1);
    EXPECT_EQ(Child(self, 0)->type, '@');
    EXPECT_EQ(Child(self, 0)->data.target, self) << "the link must follow its array when the root grows";
    EXPECT_EQ(Int(&DocumentRoot.data.nodes[1]), 42);
    EXPECT_EQ(StringText(&DocumentRoot.data.nodes[2]), "third");
}

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

}  // namespace
