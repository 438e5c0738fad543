// Loads the Ruby-made files of tests/data/ (see make_fixtures.rb and
// README.md there) and checks what they decode to: scalars, composites,
// Ruby 1.8 floats and files of several dumps.
#include "present/viewer_document.h"
#include "tests/corpus_support.h"

namespace corpus {

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

}  // namespace corpus
