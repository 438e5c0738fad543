// The preview contract: what the preview shows for the selection and
// choosing a line of an event page, driven as a user drives the window.
// One set of expectations, read by hand from the fixtures
// (make_lens_fixtures.rb), run over the portable preview, the Qt preview
// and the Win32 preview through tests/preview_adapter.h.
#include <zlib.h>

#include <string>

#include "lens/event_commands.h"
#include "tests/marshal_bytes.h"
#include "tests/preview_adapter.h"
#include "ui/preview.h"
#include "viewer_fixture.h"

namespace {
std::u16string Data(const char* name) { return U16(std::string(QUARNIX_TEST_DATA) + "/" + name); }

class PreviewTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        PreviewStart();
    }
    void OpenData(const char* name) { ASSERT_EQ(OpenPath(U8(Data(name))), 0); }
    void Click(const std::string& name) { PanesClickRow(RowNamed(name)); }
    // A colour's largest part: what a user calls it.
    static char Hue(std::uint32_t rgb) {
        const int r = rgb >> 16 & 0xff, g = rgb >> 8 & 0xff, b = rgb & 0xff;
        if (r < 40 && g < 40 && b < 40) return 'k';
        if (b > 200 && r < 60 && g < 60) return 'b';
        if (r > 200 && g < 60 && b < 60) return 'r';
        return '?';
    }
};

class EventPreviewTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        OpenData("y_lens_events.rxdata");
        Activate("0");  // data0, the array of two pages
        Activate("0");  // the first page
        page_ = TreeItemNode(TreeCaretItem());
        list_ = ListRowNode(RowNamed("list"));
    }
    const MarshalNode* page_ = nullptr;
    const MarshalNode* list_ = nullptr;
};
}  // namespace

TEST_F(EventPreviewTest, TheTargetIsTheSelectedRowOrElseTheContainer) {
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
    PanesClickRow(RowNamed("list"));
    EXPECT_EQ(CurrentPreviewTarget().node, list_);
    EXPECT_EQ(CurrentPreviewTarget().mark, -1);
    EXPECT_EQ(CurrentPreviewTarget().path, u"data0[0].list");
    PanesClickRow(RowNamed("trigger"), true);  // two rows
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
    PanesClickRow(0);  // ".."
    EXPECT_EQ(CurrentPreviewTarget().node, page_);
}

TEST_F(EventPreviewTest, SelectingAChildSelectsTheCommandsRowAndKeepsThePage) {
    PanesClickRow(RowNamed("list"));
    // From the page: into the list, then the row of command 4 (after "..").
    EXPECT_EQ(SelectPreviewChild(list_, 4), 5);
    EXPECT_EQ(CaretText(), "list");
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_EQ(Status(), "路径: data0[0].list[4]");
    PreviewTarget target = CurrentPreviewTarget();
    EXPECT_EQ(target.node, list_);
    EXPECT_EQ(target.mark, 4);
    EXPECT_EQ(target.path, u"data0[0].list");
    // Within the list: only the new row stays selected.
    PanesClickRow(2, true);
    EXPECT_EQ(SelectPreviewChild(list_, 7), 8);
    EXPECT_EQ(SelectedRows(), std::vector<int>{8});
    EXPECT_EQ(SelectPreviewChild(list_, ChildCount(list_)), -1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{8});
    // A command's parameters are no event page: they show as themselves.
    Activate(U8(PanesCell(8, 0)));
    PanesClickRow(RowNamed("parameters"));
    EXPECT_FALSE(IsEventCommandList(CurrentPreviewTarget().node));
    EXPECT_EQ(CurrentPreviewTarget().mark, -1);
}

TEST_F(EventPreviewTest, AnEventPageShowsItsCommandsAndChoosingALineSelectsItsRow) {
    Click("list");
    ASSERT_EQ(PreviewPageShown(), SeenPage::kEvents);
    const std::vector<std::u16string> lines = PreviewLines();
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[0], u"◆显示文章：你好，旅行者。");
    EXPECT_EQ(PreviewMarkedLine(), -1);
    PreviewChooseLine(4);
    EXPECT_EQ(CaretText(), "list");
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
    EXPECT_EQ(Status(), "路径: data0[0].list[4]");
    // The page stays, the chosen line marked; another row moves the mark.
    EXPECT_EQ(PreviewPageShown(), SeenPage::kEvents);
    EXPECT_EQ(PreviewLines(), lines);
    EXPECT_EQ(PreviewMarkedLine(), 4);
    Click("9");
    EXPECT_EQ(PreviewMarkedLine(), 9);
    EXPECT_EQ(PreviewHeader().substr(PreviewHeader().size() - 13), u"data0[0].list");
    // Two rows: the page with nothing marked.
    PanesClickRow(RowNamed("3"), true);
    EXPECT_EQ(PreviewMarkedLine(), -1);
    // The last line, and past it.
    PreviewChooseLine(static_cast<int>(lines.size()) - 1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{static_cast<int>(lines.size())});
    EXPECT_EQ(PreviewMarkedLine(), static_cast<int>(lines.size()) - 1);
}

TEST_F(PreviewTest, NothingOpenShowsAnEmptyTextPage) {
    EXPECT_EQ(PreviewHeader(), u"");
    EXPECT_EQ(PreviewProblem(), u"");
    EXPECT_EQ(PreviewPageShown(), SeenPage::kText);
    EXPECT_TRUE(PreviewLines().empty() || PreviewLines() == std::vector<std::u16string>{u""});
}

TEST_F(PreviewTest, ScriptsShowAsColouredRubySource) {
    OpenData("Scripts.rxdata");
    Activate("0");
    Activate("0");
    Click("2");
    ASSERT_EQ(PreviewPageShown(), SeenPage::kText);
    const std::vector<std::u16string> lines = PreviewLines();
    ASSERT_EQ(lines.size(), 8u);  // the last line break ends the last line
    EXPECT_EQ(lines[0], u"# 游戏开始时的处理");
    EXPECT_EQ(lines[1], u"class Scene_Title");
    EXPECT_EQ(lines[3], u"    $data_system = load_data(\"Data/System.rxdata\")  # 读取系统数据");
    EXPECT_EQ(lines[7], u"end");
    const std::u16string header = PreviewHeader();
    EXPECT_EQ(header.substr(header.size() - 11), u"data0[0][2]");
    EXPECT_EQ(PreviewProblem(), u"");
    struct Case {
        int line, column;
        std::uint32_t colour;
    };
    for (const Case& c : {Case{0, 2, 0x6a9955},    // the comment
                          Case{1, 0, 0x0000c0},    // class
                          Case{1, 6, 0x267f99},    // Scene_Title
                          Case{2, 8, 0},           // main
                          Case{3, 4, 0x007090},    // $data_system
                          Case{3, 33, 0xa31515},   // "Data/System.rxdata"
                          Case{3, 55, 0x6a9955},   // # 读取系统数据
                          Case{4, 6, 0x007090},    // @sprite
                          Case{4, 16, 0x267f99}})  // Sprite
        EXPECT_EQ(PreviewTextColour(c.line, c.column), c.colour) << c.line << ":" << c.column;
    // A name is a plain string: no colours.
    Click("1");
    EXPECT_EQ(PreviewLines(), std::vector<std::u16string>{u"Scene_Title 标题"});
    EXPECT_EQ(PreviewTextColour(0, 0), 0u);
}

// A =begin/=end block is comment from its first line to its last, however
// the rows are coloured (all at once or only those in sight); the code
// before and after keeps its colours.
TEST_F(PreviewTest, ABeginEndBlockIsAllComment) {
    const std::string source = "x = 1\n=begin\nclass Inside =end\n=end\nclass Outside\n=begin\n";
    uLongf size = compressBound(static_cast<uLong>(source.size()));
    std::string deflated(size, '\0');
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(deflated.data()), &size, reinterpret_cast<const Bytef*>(source.data()),
                       static_cast<uLong>(source.size())),
              Z_OK);
    deflated.resize(size);
    std::string file("\x04\x08[\x06\"", 5);  // an array of one string
    file += mb::Packed(static_cast<std::int32_t>(size));
    file += deflated;
    ASSERT_EQ(Open(file), 0);
    Activate("0");
    Click("0");
    ASSERT_EQ(PreviewLines().size(), 6u);
    struct Case {
        int line, column;
        std::uint32_t colour;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{0, 4, 0x098658},  // x = 1
                          Case{1, 0, 0x6a9955},                 // =begin
                          Case{2, 0, 0x6a9955}, Case{2, 6, 0x6a9955}, Case{3, 1, 0x6a9955},
                          Case{4, 0, 0x0000c0}, Case{4, 6, 0x267f99},  // after =end: code again
                          Case{5, 3, 0x6a9955}})                       // a block open at the end
        EXPECT_EQ(PreviewTextColour(c.line, c.column), c.colour) << c.line << ":" << c.column;
}

TEST_F(PreviewTest, ABrokenStreamSaysSoAndShowsItsBytes) {
    OpenData("Scripts.rxdata");
    Activate("0");
    Activate("3");
    Click("2");
    EXPECT_EQ(PreviewProblem(), u"压缩数据已损坏，无法解压，下面显示原始字节");
    ASSERT_EQ(PreviewPageShown(), SeenPage::kText);
    EXPECT_EQ(PreviewLines().at(0).substr(0, 15), u"00000000  78 da");
    // The next value has no problem: the line goes.
    Click("1");
    EXPECT_EQ(PreviewProblem(), u"");
}

TEST_F(PreviewTest, TablesShowALayerAsAGridAndAHeatMap) {
    OpenData("y_lens_tables.bin");
    Activate("0");
    Click("2");  // 2 x 2 x 3: 1000z + 10y + x, layer 2 less 32768
    ASSERT_EQ(PreviewPageShown(), SeenPage::kTable);
    EXPECT_EQ(PreviewLayerNames(), (std::vector<std::u16string>{u"z = 0", u"z = 1", u"z = 2"}));
    EXPECT_EQ(PreviewCell(0, 0), u"0");
    EXPECT_EQ(PreviewCell(1, 0), u"1");
    EXPECT_EQ(PreviewCell(0, 1), u"10");
    EXPECT_EQ(PreviewCell(2, 0), u"");  // past the grid
    // Zero is an empty tile; the least other value blue, the greatest red.
    EXPECT_EQ(Hue(PreviewHeatMapAt(0.25, 0.25)), 'k');
    EXPECT_EQ(Hue(PreviewHeatMapAt(0.75, 0.25)), 'b');
    EXPECT_EQ(Hue(PreviewHeatMapAt(0.75, 0.75)), 'r');
    PreviewChooseLayer(2);
    EXPECT_EQ(PreviewCell(1, 1), u"-30757");
    EXPECT_EQ(PreviewCell(0, 0), u"-30768");
    EXPECT_EQ(Hue(PreviewHeatMapAt(0.25, 0.25)), 'b');
    EXPECT_EQ(Hue(PreviewHeatMapAt(0.75, 0.75)), 'r');
    // One dimension: one row.
    Click("0");
    EXPECT_EQ(PreviewLayerNames(), std::vector<std::u16string>{u"z = 0"});
    EXPECT_EQ(PreviewCell(3, 0), u"299");
    EXPECT_EQ(PreviewCell(0, 1), u"");
}

// Tables without cells: sizes of zero agree with a count of zero.
TEST_F(PreviewTest, TablesWithoutCellsShowNoGrid) {
    auto table = [](int x, int y, int z) {
        std::string bytes;
        for (std::int32_t v : {3, x, y, z, 0})
            for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i) & 0xff);
        return "u:\x0aTable\x19" + bytes;  // 20 bytes
    };
    ASSERT_EQ(Open(std::string("\x04\x08", 2) + "[\x08" + table(2, 2, 0) + table(0, 3, 1) + table(2147483647, 0, 1)), 0);
    Activate("0");
    for (const char* row : {"0", "1", "2"}) {
        SCOPED_TRACE(row);
        Click(row);
        ASSERT_EQ(PreviewPageShown(), SeenPage::kTable);
        EXPECT_EQ(PreviewCell(0, 0), u"");
        EXPECT_EQ(PreviewHeatMapAt(0.5, 0.5), 0u);
    }
    EXPECT_TRUE(PreviewLayerNames().size() == 1);
}

TEST_F(PreviewTest, ColoursAndTonesShowTheirTextAndASwatch) {
    OpenData("y_lens_colors.bin");
    Activate("0");
    Click("0");
    ASSERT_EQ(PreviewPageShown(), SeenPage::kSwatch);
    EXPECT_EQ(PreviewSwatchMiddle(), 0xff8000u);
    EXPECT_EQ(PreviewHeader().substr(0, 31), u"Color(255.0, 128.0, 0.0, 255.0)");
    EXPECT_EQ(PreviewSwatchText(), u"Color(255.0, 128.0, 0.0, 255.0)");
    // Mid-grey shifted by (-34, 0, 68) is (94, 128, 196); 170/255 of the way
    // to its grey level 125.586 gives (115, 126, 149).
    Click("1");
    ASSERT_EQ(PreviewPageShown(), SeenPage::kSwatch);
    EXPECT_EQ(PreviewSwatchMiddle(), 0x737e95u);
    EXPECT_EQ(PreviewSwatchText(), u"Tone(-34.0, 0.0, 68.0, 170.0)\n（色块为中灰色经此色调调整后的样子）");
}
