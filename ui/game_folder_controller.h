// The game's Data folder beside the opened file, for every window: the
// database's names read on a worker once the tree is shown (the readings
// then name what commands refer to), the "查找 … 的用处" entries of the
// context menus, and the results list below the panes, filled by a usage
// search or by 在文件夹中查找 on a worker, whose lines open their file and
// select their row.  A window shows the list and the menus; the opened
// file's tree, list, status bar and title stay the file's alone.
#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/usage_index.h"
#include "lens/game_names.h"
#include "present/find_rows.h"
#include "ui/folder_results.h"
#include "ui/navigation_controller.h"
#include "ui/worker.h"

class GameFolderController {
public:
    // The list takes at most this many lines; the status says how many more.
    static constexpr std::size_t kMaxResults = 100000;

    explicit GameFolderController(NavigationController& navigation);
    ~GameFolderController();
    GameFolderController(const GameFolderController&) = delete;
    GameFolderController& operator=(const GameFolderController&) = delete;

    // The window's side.  Names arrived (or went): the preview reads again.
    std::function<void()> namesChanged;
    // The results list's title, status or lines changed.
    std::function<void()> resultsChanged;
    // A search began: the list is to be shown if it is hidden.
    std::function<void()> showResults;

    // Called through the window's providers: once the tree is shown, the names are
    // read (and a chosen result's row selected); before the document is
    // released, the reading stops and the names go.
    void DocumentShown();
    void DocumentClosing();

    // The names of the opened file's folder; none until they arrived.
    const GameNames* Names() const { return names_.get(); }
    // Grows whenever the names change: a preview made before reads again.
    unsigned NamesVersion() const { return namesVersion_; }
    // The folder of the opened file; empty with no document.
    const std::filesystem::path& Folder() const { return folder_; }

    // The entry "查找 开关 [0048: …] 的用处" for a row of the list or a
    // command of the preview; empty when the row or command refers to
    // nothing the index answers, or no file is open.
    std::vector<MenuEntry> RowEntries(int row);
    std::vector<MenuEntry> CommandEntries(const MarshalNode* command);

    // The searches.  Each stops the one running and empties the list; the
    // usage index is built (on a worker, with progress) when the folder has
    // none or its files changed since.
    void FindUses(RefKind kind, std::int64_t id);
    // The query over every .rxdata file of the folder.
    void FindInFolder(const FindQuery& query);
    // Stops the running search; its lines so far stay.
    void Cancel();
    // Stops and empties the list (the window hides it).
    void Clear();

    bool Running() const { return running_; }
    // "开关 [0048: 升级提示开关] 的用处", "在文件夹中查找 “勇者”".
    const std::u16string& Title() const { return title_; }
    // "正在建立索引：第 3 个文件，共 150 个…", "共 12 处", "未找到", ...
    const std::u16string& Status() const { return status_; }
    const std::vector<FolderResult>& Results() const { return results_; }

    // Goes to the line's row: in the open file at once, in another file by
    // the Open command and then, once its tree is shown, the row.  False
    // when the line is out of range or its row is gone from the open file.
    bool Choose(int line);

    // Lines made elsewhere (a comparison's differences and files), shown as
    // a search's are; choosing one calls `choose` with its number.  A search
    // or Clear takes them away, and ClearLines when `owner` put them there.
    void ShowLines(const void* owner, std::u16string title, std::u16string status, std::vector<FolderResult> lines,
                   std::function<bool(int)> choose);
    void ClearLines(const void* owner);
    // The names as shared with a worker; none until they arrived.
    std::shared_ptr<const GameNames> SharedNames() const { return names_; }

private:
    void ForgetLines();
    void Launch(std::function<void(const WindowPost& post)> work);
    void StopWorker();
    void StopNames();
    void Changed();
    void Finish(std::u16string status);
    void ReadNamesFor(const std::filesystem::path& folder);
    void SelectPending();

    NavigationController& navigation_;
    std::filesystem::path folder_;
    std::shared_ptr<const GameNames> names_;
    unsigned namesVersion_ = 0;
    Worker namesWorker_;  // its posts are dropped once the reading stopped
    std::shared_ptr<MarshalDocument> namesScratch_;  // its `cancel` stops the reading

    // The usage index of one folder, with the sizes and times of the files
    // it was built from.
    struct BuiltIndex;
    std::shared_ptr<BuiltIndex> index_;

    Worker worker_;  // a search's lines and progress are dropped once it stopped
    std::shared_ptr<MarshalDocument> scratch_;  // the search's document; its `cancel` stops it
    bool running_ = false;
    std::u16string title_, status_;
    std::vector<FolderResult> results_;
    std::uint64_t overflow_ = 0;  // lines past kMaxResults
    // A line of another file, selected once that file's tree is shown.
    std::unique_ptr<FolderResult> pending_;
    // The owner and the chooser of lines shown by ShowLines.
    const void* linesOwner_ = nullptr;
    std::function<bool(int)> choose_;
};

// The controller the window's commands use; it fills the game folder's
// slot of ui/window_providers.h (menus, names, the document's arrival and
// departure).  None in quarnix-dump.
void SetActiveGameFolder(GameFolderController* controller);
GameFolderController* ActiveGameFolder();
