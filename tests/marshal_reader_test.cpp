// The readers, value by value: tables of byte vectors and the document each
// one must build.  Documents are compared through a compact rendering, so a
// row shows the whole shape (types, names, children in position order, link
// targets as positions) at a glance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "marshal/alloc.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "tests/hex_bytes.h"
#include "tests/marshal_bytes.h"
#include "tests/render_document.h"

namespace {

// MARK: byte vectors and rendering


int Load(const std::string& text) {
    std::vector<std::uint8_t> bytes = Bytes(text);
    return LoadDocumentFromMemory(bytes.data(), bytes.size());
}

class MarshalReaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        ReleaseNode(&DocumentRoot);
        EXPECT_EQ(LiveAllocationCount(), 0);
    }

    // Loads one table row, checks it succeeded and renders the document.
    std::string LoadOk(const std::string& bytes) {
        ReleaseNode(&DocumentRoot);
        int rc = Load(bytes);
        EXPECT_EQ(rc, kLoadOk) << bytes;
        return rc == kLoadOk ? RenderDocument(&DocumentRoot) : "";
    }

    const MarshalNode& Top(int i = 0) { return DocumentRoot.data.nodes[i]; }
};

struct Case {
    const char* bytes;
    const char* expected;
};

// MARK: packed integers

TEST_F(MarshalReaderTest, PackedIntegerForms) {
    struct IntCase {
        const char* bytes;  // after the 'i'
        std::int32_t expected;
    };
    const IntCase cases[] = {
        {"00", 0},           {"06", 1},           {"7f", 122},         {"fa", -1},
        {"fb", 0},           {"80", -123},        {"01 7b", 123},      {"01 ff", 255},
        {"02 00 01", 256},   {"ff 00", -256},     {"fe ff fe", -257},  {"03 00 00 01", 65536},
        {"fd 00 00 ff", -65536},
        {"04 ff ff ff 7f", 2147483647},
        {"fc 00 00 00 80", -2147483647 - 1},
        {"04 00 00 00 80", -2147483647 - 1},  // a 4-byte positive form may come out negative
        {"fc ff ff ff ff", -1},
    };
    for (const IntCase& c : cases) {
        ASSERT_EQ(LoadOk(std::string("04 08 69 ") + c.bytes), std::to_string(c.expected)) << c.bytes;
        EXPECT_EQ(Top().data.bits >> 32, 0u) << "the upper half of the slot stays 0: " << c.bytes;
    }
}

// MARK: scalars

TEST_F(MarshalReaderTest, Scalars) {
    const Case cases[] = {
        {"04 08 30", "nil"},
        {"04 08 54", "true"},
        {"04 08 46", "false"},
        {"04 08 22 00", "\"\""},
        {"04 08 22 08 'abc'", "\"abc\""},
        {"04 08 22 08 61 00 62", "\"a\\x00b\""},
        {"04 08 3a 08 'abc'", ":abc"},
        {"04 08 3a 00", ":"},
        {"04 08 63 09 'A::B'", "class(A::B)"},
        {"04 08 6d 0b 'Kernel'", "module(Kernel)"},
        {"04 08 6c 2b 06 34 12", "big(+3412)"},
        {"04 08 6c 2d 07 01 00 00 80", "big(-01000080)"},
        {"04 08 6c 2b 00", "big(+)"},
        {"04 08 6c 3f 06 00 00", "big(?0000)"},  // the sign byte is kept as read
        {"04 08 75 3a 06 55 08 61 00 62", "user_dump U(\"a\\x00b\")"},
        {"04 08 75 3a 06 55 00", "user_dump U(\"\")"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadOk(c.bytes), c.expected) << c.bytes;
}

TEST_F(MarshalReaderTest, RegexpOptionLetters) {
    const Case cases[] = {
        {"00", "/abc/"},   {"01", "/abc/i"},  {"02", "/abc/x"},  {"04", "/abc/m"},
        {"05", "/abc/im"}, {"07", "/abc/imx"}, {"08", "/abc/"},  {"ff", "/abc/imx"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadOk(std::string("04 08 2f 08 'abc' ") + c.bytes), c.expected) << c.bytes;
    EXPECT_EQ(LoadOk("04 08 2f 00 00"), "//");
    EXPECT_EQ(LoadOk("04 08 2f 08 61 2f 62 01"), "/a/b/i");
}

TEST_F(MarshalReaderTest, BignumKeepsSignAndMagnitudeBytes) {
    ASSERT_EQ(Load("04 08 6c 2b 06 34 12"), kLoadOk);
    EXPECT_EQ(Top().count, 3);
    EXPECT_EQ(std::memcmp(Top().data.bytes, "+\x34\x12", 3), 0);
    ReleaseNode(&DocumentRoot);
    ASSERT_EQ(Load("04 08 6c 2d 00"), kLoadOk);
    EXPECT_EQ(Top().count, 1);
    EXPECT_EQ(Top().data.bytes[0], '-');
}

TEST_F(MarshalReaderTest, FloatTextsAndMarkers) {
    struct FloatCase {
        const char* bytes;  // after the 'f'
        std::int32_t marker;
        double value;
    };
    const FloatCase cases[] = {
        {"08 '1.5'", 0, 1.5},
        {"09 '-2.5'", 0, -2.5},
        {"08 'nan'", '?', 0.0},
        {"08 'inf'", '+', 0.0},
        {"09 '-inf'", '-', 0.0},
        {"0d 'Infinity'", 0, HUGE_VAL},  // no marker: the conversion reads it
        {"0c '1.5e300'", 0, 1.5e300},
        {"07 '-0'", 0, -0.0},
        {"00", 0, 0.0},
        {"08 'abc'", 0, 0.0},            // not a number: 0.0
        {"09 '2.5x'", 0, 2.5},           // the conversion stops at the first stray byte
        {"0a 31 2e 35 00 33 33", 0, 1.5},  // Ruby 1.8: mantissa bytes after a NUL
        {"09 6e 61 6e 00", '?', 0.0},      // compared as a NUL-terminated text
    };
    for (const FloatCase& c : cases) {
        ReleaseNode(&DocumentRoot);
        ASSERT_EQ(Load(std::string("04 08 66 ") + c.bytes), kLoadOk) << c.bytes;
        EXPECT_EQ(Top().class_symbol.marker, c.marker) << c.bytes;
        if (c.marker == 0 && std::strncmp(Top().text, "nan", 3) != 0) {
            EXPECT_EQ(Top().data.real, c.value) << c.bytes;
            EXPECT_EQ(std::signbit(Top().data.real), std::signbit(c.value)) << c.bytes;
        }
    }
}

TEST_F(MarshalReaderTest, FloatTextIsKeptWholeWithBytesAfterNul) {
    ASSERT_EQ(Load("04 08 66 0d 31 2e 35 00 00 00 f8 3f"), kLoadOk);
    EXPECT_EQ(std::memcmp(Top().text, "1.5\0\0\0\xf8\x3f", 9), 0);
    EXPECT_EQ(Top().data.real, 1.5);
    ReleaseNode(&DocumentRoot);
    ASSERT_EQ(Load("04 08 66 0a 'nanxyz'"), kLoadOk);  // nan followed by more is no special value
    EXPECT_EQ(Top().class_symbol.marker, 0);
    EXPECT_TRUE(std::isnan(Top().data.real));
}

// MARK: composites

TEST_F(MarshalReaderTest, Composites) {
    const Case cases[] = {
        {"04 08 5b 00", "array()"},
        {"04 08 5b 07 69 06 5b 06 30", "array(1, array(nil))"},
        {"04 08 7b 00", "hash()"},
        {"04 08 7b 07 69 06 69 07 69 08 69 09", "hash(1, 2, 3, 4)"},
        // The default follows the pairs in the stream but sits at position 0.
        {"04 08 7d 06 69 06 69 07 69 08", "hash_default(3, 1, 2)"},
        {"04 08 7d 00 30", "hash_default(nil)"},
        {"04 08 6f 3a 06 41 00", "object A()"},
        {"04 08 6f 3a 06 41 07 3a 07 40 61 69 06 3a 07 40 62 54", "object A(a=1, b=true)"},
        // Only one '@' is dropped, and names without one stay as they are.
        {"04 08 6f 3a 06 41 07 3a 08 40 40 63 30 3a 06 64 30", "object A(@c=nil, d=nil)"},
        {"04 08 53 3a 0a 'Point' 07 3a 06 78 69 06 3a 06 79 69 07", "struct Point(x=1, y=2)"},
        {"04 08 55 3a 06 55 5b 06 69 06", "user_marshal U(array(1))"},
        {"04 08 43 3a 09 'UStr' 22 07 'hi'", "user_class UStr(.=\"hi\")"},
        {"04 08 43 3a 09 'UArr' 5b 06 69 06", "user_class UArr(.=array(1))"},
        {"04 08 49 22 06 61 06 3a 06 45 54", "ivar(.=\"a\", E=true)"},
        {"04 08 49 43 3a 09 'UStr' 22 06 61 06 3a 06 45 54", "ivar UStr(.=\"a\", E=true)"},
        {"04 08 49 6f 3a 06 41 00 06 3a 07 40 76 30", "ivar A(.=object A(), v=nil)"},
        {"04 08 49 3a 06 73 06 3a 06 45 46", "ivar s(.=:s, E=false)"},
        {"04 08 49 22 06 61 00", "ivar(.=\"a\")"},
        {"04 08 49 66 08 '1.5' 00", "ivar(.=float(1.5))"},  // a float brings no name, though its text shares the slot
        {"04 08 65 3a 06 4d 6f 3a 06 41 00", "e:M object A()"},
        {"04 08 65 3a 07 'M1' 65 3a 07 'M2' 6f 3a 06 41 00", "e:M1 e:M2 object A()"},
        {"04 08 5b 07 3a 06 4d 65 3b 00 5b 00", "array(:M, e;M array())"},
        {"04 08 49 65 3a 06 4d 22 06 61 00", "ivar(.=e:M \"a\")"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadOk(c.bytes), c.expected) << c.bytes;
}

TEST_F(MarshalReaderTest, EmptyContainersOwnNoArrayExceptTheDefault) {
    const Case cases[] = {
        {"04 08 5b 00", "none"},
        {"04 08 7b 00", "none"},
        {"04 08 6f 3a 06 41 00", "none"},
        {"04 08 7d 00 30", "one"},
    };
    for (const Case& c : cases) {
        ASSERT_NE(LoadOk(c.bytes), "");
        EXPECT_EQ(Top().count, 0) << c.bytes;
        EXPECT_EQ(Top().data.ptr != nullptr, std::string(c.expected) == "one") << c.bytes;
    }
}

TEST_F(MarshalReaderTest, NamesThroughSymbolLinksOwnNoSymbol) {
    // [ o :A 1 entry (:@a -> nil),  o ;A 1 entry (;@a -> nil) ]
    ASSERT_EQ(LoadOk("04 08 5b 07 6f 3a 06 41 06 3a 07 40 61 30 6f 3b 00 06 3b 06 30"),
              "array(object A(a=nil), object A(a=nil))");
    const MarshalNode& first = Top().data.nodes[0];
    const MarshalNode& second = Top().data.nodes[1];
    EXPECT_NE(first.class_symbol.symbol, nullptr);
    EXPECT_NE(EntryNameSymbol(&first.data.attrs[0]), nullptr);
    EXPECT_EQ(second.class_symbol.symbol, nullptr);
    EXPECT_EQ(EntryNameSymbol(&second.data.attrs[0]), nullptr);
    EXPECT_EQ(second.name, first.name);  // borrowed from the first object's symbol
    EXPECT_STREQ(EntryNameSymbol(&first.data.attrs[0])->name, "@a");  // the symbol keeps its '@'
}

TEST_F(MarshalReaderTest, NamesWithAnEncodingAreWrappedSymbols) {
    // Ruby writes non-ASCII names as 'I' around the symbol, with E or an
    // encoding name: class 名 with ivar @名前, then an object whose class and
    // ivar names are links to them, then an entry named through 'I' around a
    // link, whose encoding string takes an object number a later link uses.
    ASSERT_EQ(LoadOk("04 08 5b 09 6f 49 3a 08 e5 90 8d 06 3a 06 45 54 06 49 3a 0c 40 e5 90 8d e5 89 8d 06 3b 06 54 69 06"
                     " 6f 3b 00 06 3b 07 69 07"
                     " 6f 3b 00 06 49 3b 07 06 3a 0d 'encoding' 22 0e 'Shift_JIS' 69 08 40 09"),
              "array(object 名(名前=1), object 名(名前=2), object 名(名前=3), @?)");  // no place in the tree
    const MarshalNode& first = Top().data.nodes[0];
    ASSERT_NE(first.class_symbol.symbol, nullptr);
    EXPECT_EQ(first.class_symbol.symbol->type, 'I');  // the wrapper, kept with its E
    EXPECT_EQ(Render(&first.class_symbol.symbol->data.attrs[1].value), "true");
    const MarshalNode& third = Top().data.nodes[2];
    MarshalNode* owned = EntryNameSymbol(&third.data.attrs[0]);
    ASSERT_NE(owned, nullptr);  // a wrapped link owns its instance variables
    EXPECT_EQ(owned->data.attrs[1].value.type, '"');
    EXPECT_EQ(Top().data.nodes[3].data.target, &owned->data.attrs[1].value);
    // A byte other than ':' or ';' after the 'I' is no name.
    ReleaseNode(&DocumentRoot);
    EXPECT_EQ(Load("04 08 6f 49 22 06 61 00 00"), kLoadBadData);
}

TEST_F(MarshalReaderTest, ExtendedChainKeepsFirstModuleOutermost) {
    ASSERT_EQ(Load("04 08 65 3a 07 'M1' 65 3b 00 6f 3a 06 41 00"), kLoadOk);
    const MarshalNode* outer = NodeExtension(&Top());
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->type, ':');
    EXPECT_STREQ(outer->name, "M1");
    ASSERT_NE(NodeExtension(outer), nullptr);
    EXPECT_EQ(NodeExtension(outer)->type, ';');  // a link keeps its own node here
    EXPECT_EQ(NodeExtension(outer)->data.target, outer);
    EXPECT_EQ(NodeExtension(NodeExtension(outer)), nullptr);
    EXPECT_EQ(Top().type, 'o');
}

// MARK: links

TEST_F(MarshalReaderTest, Links) {
    const Case cases[] = {
        {"04 08 5b 06 40 00", "array(@0)"},
        {"04 08 5b 07 22 06 61 40 06", "array(\"a\", @0.0)"},
        {"04 08 5b 07 3a 06 61 3b 00", "array(:a, ;a)"},
        // Object numbers follow the order in which values begin.
        {"04 08 5b 08 5b 06 22 06 61 40 06 40 07", "array(array(\"a\"), @0.0, @0.0.0)"},
        {"04 08 5b 07 63 06 41 40 06", "array(class(A), @0.0)"},
        {"04 08 5b 07 6c 2b 00 40 06", "array(big(+), @0.0)"},
        {"04 08 5b 07 2f 06 61 00 40 06", "array(/a/, @0.0)"},
        {"04 08 5b 07 66 06 31 40 06", "array(float(1), @0.0)"},
        {"04 08 5b 07 75 3a 06 55 00 40 06", "array(user_dump U(\"\"), @0.0)"},
        {"04 08 5b 07 55 3a 06 55 30 40 06", "array(user_marshal U(nil), @0.0)"},
        // A link to a wrapped value resolves to the wrapper.
        {"04 08 5b 07 43 3a 06 55 22 06 61 40 06", "array(user_class U(.=\"a\"), @0.0)"},
        {"04 08 5b 07 49 22 06 61 06 3a 06 45 54 40 06", "array(ivar(.=\"a\", E=true), @0.0)"},
        {"04 08 5b 07 65 3a 06 4d 5b 00 40 06", "array(e:M array(), @0.0)"},
        // 'I' around an array whose @a holds an array; a link to the inner one.
        {"04 08 5b 07 49 5b 00 06 3a 07 40 61 5b 00 40 07", "array(ivar(.=array(), a=array()), @0.0.1)"},
        // Numbers restart with every dump.
        {"04 08 5b 06 30 04 08 5b 06 40 00", "array(nil) | array(@1)"},
        {"04 08 3a 06 61 04 08 5b 07 3a 06 62 3b 00", ":a | array(:b, ;b)"},
        // The wrapper is the value inside which the link sits.
        {"04 08 43 3a 06 55 5b 06 40 00", "user_class U(.=array(@0))"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadOk(c.bytes), c.expected) << c.bytes;
}

TEST_F(MarshalReaderTest, LinksReachEveryObjectAndSymbolNumberAroundTheTablesGrowth) {
    using namespace mb;
    // The outer array is object 0 and string i (text "i") object i; symbol
    // i-1 is named "si".  Links at the end go to the numbers around the
    // points where the reference tables take more room.
    for (int n : {8191, 8192, 8193, 16385}) {
        SCOPED_TRACE(n);
        std::vector<int> wanted = {1, 8191, 8192, 8193, n - 1};
        std::erase_if(wanted, [&](int k) { return k >= n; });
        std::string items;
        for (int i = 1; i < n; ++i) items += Str(std::to_string(i));
        for (int i = 1; i < n; ++i) items += Sym("s" + std::to_string(i));
        for (int k : wanted) items += Link(k) + SymLink(k - 1);
        const int count = 2 * (n - 1) + 2 * static_cast<int>(wanted.size());
        std::string doc = Dump("[" + Packed(count) + items);
        // The next dump numbers from 0 again: the room kept from the first
        // holds no object of its own.
        doc += Dump(Arr({Str("x"), Link(1)})) + Dump(Arr({Link(2)}));
        ReleaseNode(&DocumentRoot);
        std::vector<std::uint8_t> bytes(doc.begin(), doc.end());
        ASSERT_EQ(LoadDocumentFromMemory(bytes.data(), bytes.size()), kLoadBadObjectLink);
        ASSERT_EQ(DocumentRoot.count, 3);
        const MarshalNode* links = &Top().data.nodes[2 * (n - 1)];
        for (std::size_t w = 0; w < wanted.size(); ++w) {
            const std::string k = std::to_string(wanted[w]);
            EXPECT_STREQ(links[2 * w].data.target->data.bytes, k.c_str());
            EXPECT_EQ(std::string(links[2 * w + 1].name), "s" + k);
        }
        EXPECT_STREQ(Top(1).data.nodes[1].data.target->data.bytes, "x");
    }
}

TEST_F(MarshalReaderTest, SymbolLinkToWrappedSymbolResolvesToWrapper) {
    ASSERT_EQ(LoadOk("04 08 5b 07 49 3a 06 73 06 3a 06 45 54 3b 00"), "array(ivar s(.=:s, E=true), ;s)");
    const MarshalNode& link = Top().data.nodes[1];
    EXPECT_EQ(link.data.target, &Top().data.nodes[0]);
    EXPECT_STREQ(link.name, "s");
}

TEST_F(MarshalReaderTest, TopLevelNodesStayWhereLinksPoint) {
    // Three dumps, each an array holding itself: the root array grows twice.
    ASSERT_EQ(LoadOk("04 08 5b 06 40 00 04 08 5b 06 40 00 04 08 5b 06 40 00"), "array(@0) | array(@1) | array(@2)");
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Top(k).data.nodes[0].data.target, &DocumentRoot.data.nodes[k]);

    // Only a later dump holds itself; the root array grows after it.
    ASSERT_EQ(LoadOk("04 08 30 04 08 5b 06 40 00 04 08 30 04 08 30 04 08 30"), "nil | array(@1) | nil | nil | nil");
    EXPECT_EQ(Top(1).data.nodes[0].data.target, &DocumentRoot.data.nodes[1]);

    // The same for a symbol link held as a module name: I(:M, E = e;M nil).
    std::string dump = "04 08 49 3a 06 4d 06 3a 06 45 65 3b 00 30 ";
    ASSERT_EQ(LoadOk(dump + dump + dump + dump + dump), "ivar M(.=:M, E=e;M nil) | ivar M(.=:M, E=e;M nil) | ivar M(.=:M, E=e;M nil) | ivar M(.=:M, E=e;M nil) | ivar M(.=:M, E=e;M nil)");
    for (int k = 0; k < 5; ++k) EXPECT_EQ(NodeExtension(&Top(k).data.attrs[1].value)->data.target, &DocumentRoot.data.nodes[k]);
}

// MARK: file stream

int LoadThroughFile(const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::tmpfile();
    if (!file) return -1;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fclose(file);
        return -1;
    }
    std::rewind(file);
    return LoadDocument(file);  // closes the file
}

std::vector<std::uint8_t> WithFill(const std::string& head, std::size_t fill, char byte, const std::string& tail) {
    std::vector<std::uint8_t> out = Bytes(head);
    out.insert(out.end(), fill, static_cast<std::uint8_t>(byte));
    std::vector<std::uint8_t> rest = Bytes(tail);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

TEST_F(MarshalReaderTest, FileStreamReadsAcrossBufferRefills) {
    // Values larger than the read buffer straddle its refills, and counts
    // are checked against the rest of the file, buffered or not.
    struct FileCase {
        std::vector<std::uint8_t> bytes;
        int result;
    };
    const FileCase cases[] = {
        {WithFill("04 08 5b 08 22 03 e0 93 04", 300000, 'x', "3a 06 61 3b 00 04 08 5b 06 40 00"), kLoadOk},
        {WithFill("04 08 5b 03 e0 93 04", 300000, '0', ""), kLoadOk},              // 300000 elements, just held
        {WithFill("04 08 5b 03 e1 93 04", 300000, '0', ""), kLoadBadData},         // one element more
        {WithFill("04 08 5b 04 00 00 00 40", 22, '0', ""), kLoadBadData},          // 2^30 elements in 30 bytes
    };
    for (const FileCase& c : cases) {
        ReleaseNode(&DocumentRoot);
        ASSERT_EQ(LoadDocumentFromMemory(c.bytes.data(), c.bytes.size()), c.result);
        std::string fromMemory = RenderDocument(&DocumentRoot);
        long liveFromMemory = LiveAllocationCount();
        ReleaseNode(&DocumentRoot);
        ASSERT_EQ(LoadThroughFile(c.bytes), c.result);
        EXPECT_EQ(LiveAllocationCount(), liveFromMemory);  // nothing allocated for a count refused
        if (c.result == kLoadOk) {
            EXPECT_EQ(RenderDocument(&DocumentRoot), fromMemory);
        }
    }
}

}  // namespace
