// Drives the viewer as a user drives the window, through the panes of the
// front end the test program links (tests/pane_adapter.h): open a file,
// select items and rows, activate rows, read back what the panes and the
// status bar show.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "marshal/load.h"
#include "present/text.h"
#include "tests/pane_adapter.h"
#include "tests/process_support.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

inline std::string U8(std::u16string_view text) {
    std::u16string copy(text);
    char* utf8 = WideToUtf8(copy.c_str());
    std::string out = utf8 ? utf8 : "";
    std::free(utf8);
    return out;
}

inline std::u16string U16(const std::string& text) {
    char16_t* wide = Utf8ToWide(text.c_str());
    std::u16string out = wide ? wide : u"";
    std::free(wide);
    return out;
}

struct RowView {
    std::string name, type, value;
    int image, overlay;
    bool operator==(const RowView&) const = default;
};

inline void PrintTo(const RowView& r, std::ostream* os) {
    *os << "{" << r.name << ", " << r.type << ", " << r.value << ", " << r.image << ", " << r.overlay << "}";
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        PanesStart();
    }
    void TearDown() override {
        PanesStop();
        RemoveScratchDir();
    }

    // Writes the bytes to a file of this name and opens it with the Open command.
    int Open(const std::string& bytes, const std::string& name = "doc.rxdata") {
        std::string path = ScratchDir() + name;
        WriteFileBytes(path, bytes);
        return OpenPath(path);
    }
    int OpenPath(const std::string& path) {
        std::size_t before = PanesMessages().size();
        PanesQueueOpenAnswer(U16(path));
        OpenCommand();
        PanesWaitForOpen();
        return PanesMessages().size() == before ? 0 : -1;
    }

    std::vector<RowView> Rows() const {
        std::vector<RowView> rows;
        for (int r = 0; r < PanesRowCount(); ++r)
            rows.push_back({U8(PanesCell(r, 0)), U8(PanesCell(r, 1)), U8(PanesCell(r, 2)), PanesRowImage(r), PanesRowOverlay(r)});
        return rows;
    }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (const auto& r : Rows()) names.push_back(r.name);
        return names;
    }
    int RowNamed(const std::string& name) const {
        for (int r = 0; r < PanesRowCount(); ++r)
            if (U8(PanesCell(r, 0)) == name) return r;
        ADD_FAILURE() << "no row " << name;
        return -1;
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int r = ListNextSelectedRow(-1); r >= 0; r = ListNextSelectedRow(r)) rows.push_back(r);
        return rows;
    }
    std::string Status() const { return U8(PanesStatus()); }
    std::string ItemText(TreeItem item) const { return U8(PanesItemText(item)); }
    std::string CaretText() const { return ItemText(TreeCaretItem()); }
    std::vector<std::string> ChildTexts(TreeItem item) const {
        std::vector<std::string> texts;
        for (TreeItem c = TreeChildItem(item); c; c = TreeNextItem(c)) texts.push_back(ItemText(c));
        return texts;
    }
    TreeItem Child(TreeItem item, const std::string& text) const {
        for (TreeItem c = TreeChildItem(item); c; c = TreeNextItem(c))
            if (ItemText(c) == text) return c;
        ADD_FAILURE() << "no item " << text;
        return nullptr;
    }
    // Double-click: the row becomes the only selected one, then activates.
    void Activate(const std::string& rowName) {
        int r = RowNamed(rowName);
        PanesClickRow(r);
        OnListRowActivated(r);
    }
};
