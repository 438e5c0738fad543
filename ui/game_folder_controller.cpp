#include "ui/game_folder_controller.h"

#include <chrono>
#include <system_error>

#include "game/folder_find.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "marshal/load.h"
#include "present/node_location.h"
#include "present/tree_queries.h"
#include "present/viewer_document.h"
#include "ui/find_controller.h"
#include "ui/front_end.h"
#include "ui/handlers.h"
#include "ui/panes.h"
#include "ui/viewer.h"
#include "ui/worker.h"

namespace fs = std::filesystem;

namespace {
GameFolderController* g_activeGameFolder = nullptr;

// Lines of a search across files reach the window at most this far apart.
constexpr auto kBatchInterval = std::chrono::milliseconds(50);

// A document of its own for the folder's files, shared by the worker that
// loads into it and the window that stops it through its `cancel` flag.
std::shared_ptr<MarshalDocument> NewScratch() {
    return std::shared_ptr<MarshalDocument>(new MarshalDocument{}, [](MarshalDocument* doc) {
        DropDocument(*doc);
        delete doc;
    });
}

// What a file was when it was indexed: a changed file makes a new index.
struct Stamp {
    fs::path file;
    std::uintmax_t size;
    fs::file_time_type time;
    bool operator==(const Stamp&) const = default;
};

std::vector<Stamp> StampsOf(const std::vector<fs::path>& files) {
    std::vector<Stamp> stamps;
    for (const fs::path& file : files) {
        std::error_code ec;
        Stamp s{file, fs::file_size(file, ec), {}};
        if (ec) s.size = 0;
        s.time = fs::last_write_time(file, ec);
        stamps.push_back(std::move(s));
    }
    return stamps;
}

std::u16string FileCountText(std::size_t done, std::size_t all) {
    return u"第 " + GroupedDecimal(static_cast<long long>(done)) + u" 个文件，共 " +
           GroupedDecimal(static_cast<long long>(all)) + u" 个";
}

fs::path OpenedFile() {
    return fs::path(std::u16string(DocumentPath));
}
}  // namespace

struct GameFolderController::BuiltIndex {
    fs::path folder;
    std::vector<Stamp> stamps;
    UsageIndex index;
};

void SetActiveGameFolder(GameFolderController* controller) {
    g_activeGameFolder = controller;
    if (!controller) return ClearWindowProvider(ProviderSlot::kGameFolder);
    WindowProvider provider;
    provider.menuEntries = [controller](MenuPlace place, int row, const MarshalNode* node, std::vector<MenuEntry>& menu) {
        std::vector<MenuEntry> entries =
            place == MenuPlace::kListRow ? controller->RowEntries(row) : controller->CommandEntries(node);
        for (MenuEntry& entry : entries) menu.push_back(std::move(entry));
    };
    provider.documentShown = [controller] { controller->DocumentShown(); };
    provider.documentClosing = [controller] { controller->DocumentClosing(); };
    provider.names = [controller] { return controller->Names(); };
    provider.namesVersion = [controller] { return controller->NamesVersion(); };
    SetWindowProvider(ProviderSlot::kGameFolder, std::move(provider));
}
GameFolderController* ActiveGameFolder() { return g_activeGameFolder; }

GameFolderController::GameFolderController(NavigationController& navigation) : navigation_(navigation) {}

GameFolderController::~GameFolderController() {
    if (g_activeGameFolder == this) SetActiveGameFolder(nullptr);
    namesChanged = resultsChanged = showResults = nullptr;
    StopWorker();
    StopNames();
}

void GameFolderController::Changed() {
    if (resultsChanged) resultsChanged();
}

// MARK: the opened file and its names

void GameFolderController::DocumentShown() {
    const fs::path file = OpenedFile();
    folder_ = file.parent_path();
    if (folder_.empty()) folder_ = ".";
    ReadNamesFor(folder_);
    SelectPending();
}

void GameFolderController::DocumentClosing() {
    StopNames();
    if (names_) ++namesVersion_;
    names_.reset();
    folder_.clear();
}

void GameFolderController::StopNames() {
    StopWork(namesWorker_);  // names still on their way are dropped
    namesScratch_.reset();
}

void GameFolderController::ReadNamesFor(const fs::path& folder) {
    StopNames();
    namesScratch_ = NewScratch();
    auto scratch = namesScratch_;
    StartWork(namesWorker_, [scratch] { scratch->cancel.store(true); }, [this, folder, scratch](const WindowPost& post) {
        auto arrive = [this, &post](std::shared_ptr<const GameNames> names) {
            post([this, names = std::move(names)] {
                JoinWork(namesWorker_);
                names_ = names;
                ++namesVersion_;
                if (namesChanged) namesChanged();
            });
        };
        // Listing the folder may be slow (a network drive): not on the window's thread.
        if (!FolderHasDatabase(folder)) return;
        auto names = std::make_shared<GameNames>();
        // Partial names of a cancelled read are not shown.
        if (ReadGameNames(folder, *scratch, *names) && !scratch->cancel.load() && !names->Empty()) arrive(names);
        DropDocument(*scratch);
    });
}

// MARK: menus

std::vector<MenuEntry> GameFolderController::RowEntries(int row) {
    const MarshalNode* node = row >= 0 ? ListRowNode(row) : nullptr;
    const MarshalNode* container = TreeItemNode(TreeCaretItem());
    if (!node || !container || folder_.empty()) return {};
    RefKind kind;
    std::int64_t id;
    const std::string name = PathToUtf8(OpenedFile().filename());
    if (!RowUseTarget(container, ChildIndexOf(container, node), name, kind, id)) return {};
    return {{FindUsesMenuText(kind, id, Names()), true, [this, kind, id] { FindUses(kind, id); }}};
}

std::vector<MenuEntry> GameFolderController::CommandEntries(const MarshalNode* command) {
    RefKind kind;
    std::int64_t id;
    if (!command || folder_.empty() || !CommandUseTarget(command, kind, id)) return {};
    return {{FindUsesMenuText(kind, id, Names()), true, [this, kind, id] { FindUses(kind, id); }}};
}

// MARK: searches

void GameFolderController::Launch(std::function<void(const WindowPost& post)> work) {
    running_ = true;
    StartWork(worker_, [scratch = scratch_] { scratch->cancel.store(true); }, std::move(work));
    if (showResults) showResults();
    Changed();
}

void GameFolderController::StopWorker() {
    StopWork(worker_);  // lines and progress still on their way are dropped
    scratch_.reset();
    running_ = false;
}

void GameFolderController::Finish(std::u16string status) {
    JoinWork(worker_);
    scratch_.reset();
    running_ = false;
    status_ = std::move(status);
    Changed();
}

void GameFolderController::Cancel() {
    if (!running_) return;
    StopWorker();
    status_ = u"已取消，已列出 " + GroupedDecimal(static_cast<long long>(results_.size())) + u" 个";
    Changed();
}

void GameFolderController::Clear() {
    StopWorker();
    ForgetLines();
    title_.clear();
    status_.clear();
    results_.clear();
    overflow_ = 0;
    Changed();
}

void GameFolderController::FindUses(RefKind kind, std::int64_t id) {
    StopWorker();
    ForgetLines();
    results_.clear();
    overflow_ = 0;
    title_ = RefKindWord(kind);
    title_ += u' ';
    AppendIdText(title_, id, Names(), kind);
    title_ += u" 的用处";
    if (folder_.empty()) {
        Finish(u"没有打开的文件");
        return;
    }
    const std::vector<fs::path> files = UsageFiles(folder_);
    std::vector<Stamp> stamps = StampsOf(files);
    auto answer = [this, kind, id] {
        results_ = UseResults(index_->index, kind, id);
        Finish(results_.empty() ? u"未找到" : u"共 " + GroupedDecimal(static_cast<long long>(results_.size())) + u" 处");
    };
    if (index_ && index_->folder == folder_ && index_->stamps == stamps) {
        if (showResults) showResults();
        answer();
        return;
    }
    index_.reset();
    scratch_ = NewScratch();
    status_ = u"正在建立索引…";
    auto built = std::make_shared<BuiltIndex>();
    built->folder = folder_;
    built->stamps = std::move(stamps);
    Launch([this, files, built, names = names_, folder = folder_, scratch = scratch_, answer](const WindowPost& post) {
        std::shared_ptr<const GameNames> source = names;
        if (!source && FolderHasDatabase(folder)) {  // the names had not arrived: the readings want them
            auto read = std::make_shared<GameNames>();
            ReadGameNames(folder, *scratch, *read);
            source = std::move(read);
        }
        const bool done = BuildUsageIndex(files, source.get(), *scratch, built->index, [&](const IndexProgress& p) {
            std::u16string status = u"正在建立索引：" + FileCountText(p.filesDone, p.fileCount) + u"…";
            post([this, status = std::move(status)] {
                status_ = status;
                Changed();
            });
        });
        DropDocument(*scratch);
        if (scratch->cancel.load()) return;
        post([this, built, done, answer] {
            if (!done) {
                Finish(u"内存不足，无法建立索引");
                return;
            }
            index_ = built;
            answer();
        });
    });
}

void GameFolderController::FindInFolder(const FindQuery& query) {
    StopWorker();
    ForgetLines();
    results_.clear();
    overflow_ = 0;
    title_ = u"在文件夹中查找 “" + query.text + u"”";
    if (folder_.empty() || query.text.empty() || !query.columns) {
        Finish(folder_.empty() ? u"没有打开的文件" : u"未找到");
        return;
    }
    scratch_ = NewScratch();
    status_ = u"正在查找…";
    auto receive = [this](std::vector<FolderResult> batch, std::uint64_t more, std::u16string status) {
        results_.insert(results_.end(), std::make_move_iterator(batch.begin()), std::make_move_iterator(batch.end()));
        overflow_ = more;
        status_ = std::move(status);
        Changed();
    };
    Launch([this, files = ListDataFiles(folder_), query, scratch = scratch_, receive](const WindowPost& post) {
        std::vector<FolderResult> batch;
        std::uint64_t hits = 0, more = 0;
        std::size_t failed = 0, filesDone = 0;
        auto sent = std::chrono::steady_clock::now();
        auto status = [&] {
            return u"正在查找：" + FileCountText(filesDone + 1, files.size()) + u"，已找到 " +
                   GroupedDecimal(static_cast<long long>(hits)) + u" 个…";
        };
        auto send = [&] {
            post([receive, b = std::move(batch), more, s = status()]() mutable { receive(std::move(b), more, std::move(s)); });
            batch.clear();
            sent = std::chrono::steady_clock::now();
        };
        FindInFiles(files, query, *scratch, [&](std::size_t file, const FindHit& hit, const HolderIndex& holders) {
            ++hits;
            if (hits <= kMaxResults) batch.push_back(FindResult(files[file], hit, holders));
            else ++more;
            if (hits == 1 || std::chrono::steady_clock::now() - sent >= kBatchInterval) send();
            return true;
        }, [&](std::size_t, int) { ++failed; }, [&](const FolderFindProgress& p) {
            filesDone = p.filesDone;
            if (std::chrono::steady_clock::now() - sent >= kBatchInterval) send();
        });
        DropDocument(*scratch);
        if (scratch->cancel.load()) return;
        std::u16string last = hits ? u"共 " + GroupedDecimal(static_cast<long long>(hits)) + u" 个" : u"未找到";
        if (more) last += u"，列出前 " + GroupedDecimal(static_cast<long long>(kMaxResults)) + u" 个";
        if (failed) last += u"，" + GroupedDecimal(static_cast<long long>(failed)) + u" 个文件未能读取";
        post([this, receive, b = std::move(batch), more, last]() mutable {
            receive(std::move(b), more, last);
            Finish(last);
        });
    });
}

// MARK: choosing a line

bool GameFolderController::Choose(int line) {
    if (line < 0 || static_cast<std::size_t>(line) >= results_.size()) return false;
    if (choose_) {
        // The chooser may show other lines: it runs from a copy.
        auto choose = choose_;
        return choose(line);
    }
    const FolderResult& result = results_[static_cast<std::size_t>(line)];
    if (ResultNeedsOpen(result, DocumentRoot.count ? OpenedFile() : fs::path())) {
        pending_ = std::make_unique<FolderResult>(result);
        const std::u16string path = result.file.u16string();
        OpenDocumentPath(path.c_str());
        return true;
    }
    if (!SelectResultRow(result, navigation_.Holders())) return false;
    navigation_.NoteMove(true);
    return true;
}

void GameFolderController::SelectPending() {
    std::unique_ptr<FolderResult> pending = std::move(pending_);
    if (!pending || ResultNeedsOpen(*pending, OpenedFile())) return;
    if (SelectResultRow(*pending, navigation_.Holders())) navigation_.NoteMove(true);
}

// MARK: lines made elsewhere

void GameFolderController::ShowLines(const void* owner, std::u16string title, std::u16string status,
                                     std::vector<FolderResult> lines, std::function<bool(int)> choose) {
    StopWorker();
    pending_.reset();
    linesOwner_ = owner;
    choose_ = std::move(choose);
    title_ = std::move(title);
    status_ = std::move(status);
    results_ = std::move(lines);
    overflow_ = 0;
    if (showResults) showResults();
    Changed();
}

void GameFolderController::ClearLines(const void* owner) {
    if (owner && owner == linesOwner_) Clear();
}

void GameFolderController::ForgetLines() {
    linesOwner_ = nullptr;
    choose_ = nullptr;
}
