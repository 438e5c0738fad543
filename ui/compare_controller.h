// The open document compared with another version of it, for every window:
// the other version (the old one) loads into a document of its own on a
// worker, the comparison runs there too into a store of differences, and
// the window's thread then names both files in the title and marks the
// tree and the list through ui/panes.h.  下一处差异 and 上一处差异 go through
// the differences in tree order as steps of the history, and the results
// list below the panes has a line for each (after the files two compared
// folders differ in, when folders were given).  Ending the
// comparison, or releasing the open document, stops the worker first and
// leaves the new document alone on screen.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "compare/compare.h"
#include "compare/folder_pairs.h"
#include "lens/game_names.h"
#include "marshal/document.h"
#include "ui/compare_preview.h"
#include "ui/panes.h"
#include "ui/worker.h"

class NavigationController;

// One difference as the window keeps it: both sides' places, the new
// document's container it lies in (a removed value's too), and its texts.
struct StoredDifference {
    DiffOp op;
    DiffSide oldSide, newSide;
    const MarshalNode* newHolder;  // the new document's container holding it
    std::u16string path;
    // The list's value cell of a changed row: "旧值 → 新值".
    std::u16string valueChange;
    // The results list's line: "事件 0003 [村长] 第 1 页 第 5 行：+ ◆显示文章：……".
    std::u16string reading;
    // The event page it lies in, on both sides, for the preview.
    ComparedPage page;
};

// What a finished comparison holds: the old document, the differences in
// the new document's tree order, how many lie below each container, and
// the differences each container's list shows as rows (its values changed
// or added, and those removed from it), so filling a list costs nothing
// beyond its own rows' differences.
struct CompareResult {
    std::shared_ptr<MarshalDocument> old;
    std::vector<StoredDifference> differences;
    std::unordered_map<const MarshalNode*, std::int64_t> counts;
    std::unordered_map<const MarshalNode*, std::vector<const StoredDifference*>> rowsOf;
    // Fills `rowsOf` once every difference is stored.
    void IndexRows();
};

// The reading line of a difference: its place (or its path) and what
// changed, cut to a line's length; `change` ("旧值 → 新值") for a value
// the reading does not tell.
// Each side's ids are named by its folder's names, where it has them.
std::u16string DifferenceReadingLine(const Difference& d, std::u16string_view change,
                                     const GameNames* beforeNames = nullptr, const GameNames* afterNames = nullptr);

class CompareController {
public:
    explicit CompareController(NavigationController& navigation);
    ~CompareController();
    CompareController(const CompareController&) = delete;
    CompareController& operator=(const CompareController&) = delete;

    // The window's side: the title, the status or the enablement changed.
    std::function<void()> changed;

    // Compares the open document (the new version) with the file at
    // `oldPath`; a comparison running or shown ends first.  Returns at once.
    void Start(const std::u16string& oldPath);
    // `--compare OLD NEW`: once NEW's open has shown its tree, OLD is
    // compared with it; an open of any other file forgets it.
    void CompareAfterOpen(const std::u16string& oldPath, const std::u16string& newPath);
    // The open sequence showed a document's tree.
    void DocumentShown();
    // 取消 while the old file loads or the comparison runs: it ends with no
    // comparison and no message.
    void Cancel();
    // 结束比较: the new document alone, as the open showed it; one still
    // running is cancelled, and folders compared are forgotten.
    void End();
    // ReleaseDocument calls it before the open document goes.
    void DocumentClosing();

    bool Running() const { return running_; }
    bool Active() const { return result_ != nullptr; }
    // The load's bytes so far and the file's size, while running; after
    // `--compare`'s open, the new file's bytes count as read in both.
    void Progress(std::uint64_t* read, std::uint64_t* total) const;
    // The old file's size when `--compare` waits for the open of `path`, else 0.
    std::uint64_t WaitingBytes(const char16_t* path) const;
    // The open of `path` failed or was cancelled: a comparison waiting for
    // it is forgotten.  True when one was.
    bool ForgetOpen(const char16_t* path);

    // 下一处差异 (F8) and 上一处差异 (Shift+F8), wrapping round at the ends.
    void Next();
    void Previous();
    int Count() const { return result_ ? static_cast<int>(result_->differences.size()) : 0; }
    int Current() const { return current_; }
    // "差异：第 3 处，共 27 处"; "正在比较…" while running; empty otherwise.
    std::u16string StatusText() const;
    const std::vector<StoredDifference>& Differences() const;

    // Marks the rows of the listed container (the list was just filled).
    void MarkList(const MarshalNode* container) const;
    // The path in the old file of a removed value shown grey (its row, or
    // a row or item of its grey subtree), named as BuildAccessPath names
    // the new document's; empty for the new document's values.
    std::u16string OldPath(TreeItem item, const MarshalNode* child, int levelsUp) const;

    // Goes to the difference (as F8 does, a step of the history).
    void GoTo(int index);
    // `--compare OLD NEW`: two files (NEW is to be opened: true, and OLD
    // compared with it once shown) or two folders (the files they differ in
    // listed below the panes, read on the worker).  A folder and a file
    // give a message.
    bool CompareFromCommandLine(const std::u16string& oldPath, const std::u16string& newPath);
    void CompareFolders(const std::u16string& oldDir, const std::u16string& newDir);
    // The files of the folders compared that differ, in name order.
    const std::vector<FilePair>& Files() const { return files_; }
    // A line of the results list chosen: a file is opened (and, changed,
    // compared with its old version); a difference is gone to.
    bool ChooseLine(int line);

private:
    // The results list shows the files and the differences.
    void ShowLines();
    // Ends the comparison of the open file; the folders compared stay.
    void EndFile();
    void Stop();
    void Arrive(std::shared_ptr<CompareResult> result, int loadResult, bool cancelled);
    void MarkTree();
    void UnmarkTree();
    void RemoveGreyItems();
    void Step(int direction);
    void Changed();

    NavigationController& navigation_;
    Worker worker_;
    // The document loading on the worker; its `cancel` stops the load, the
    // flag the comparison.
    std::shared_ptr<MarshalDocument> loading_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    bool running_ = false;
    std::u16string oldPath_;
    std::u16string pendingOld_, pendingNew_;
    std::uint64_t pendingBytes_ = 0;      // the waiting old file's size
    std::uint64_t newBytes_ = 0, oldBytes_ = 0;  // the sizes counted in Progress
    std::shared_ptr<CompareResult> result_;
    int current_ = -1;
    // The tree items' texts before they were marked, put back at the end.
    std::vector<std::pair<TreeItem, std::u16string>> marked_;
    // The folders compared, and their files that differ.
    std::u16string oldDir_;
    std::vector<FilePair> files_;
    // The grey items of removed containers, and the grey rows in the list.
    std::vector<TreeItem> greyItems_;
    mutable int removedRows_ = 0;
    // Old documents of comparisons ended: the history may still name their
    // nodes, so they stay until the open document goes.
    std::vector<std::shared_ptr<MarshalDocument>> retired_;
};


// The controller the list pane and ReleaseDocument report to; none in
// quarnix-dump.
void SetActiveCompare(CompareController* controller);
CompareController* ActiveCompare();
// The list was filled with the container's rows: the comparison marks them.
void MarkComparedRows(const MarshalNode* container);
