// The Open command: the file dialog, releasing the current document, the
// load, and then the window title and the tree pane, or the message for the
// failure.
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#ifdef _WIN32
#include <share.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "marshal/load.h"
#include "present/format_bounded.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "ui/handlers.h"
#include "ui/open_sequence.h"
#include "ui/viewer.h"
#include "ui/window_providers.h"

char16_t DocumentPath[kDocumentPathUnits];
FileInfoRecord DocumentFileInfo;
char16_t WindowTitle[kTitleUnits] = u"Quarnix";

// Fills DocumentFileInfo from the path and names the window after the file.
void ShowDocumentTitle(const char16_t* path) {
    if (DocumentFileInfo.icon) DestroyFileIcon(DocumentFileInfo.icon);
    DocumentFileInfo.icon = nullptr;
    GetFileDisplayInfo(path, DocumentFileInfo.displayName, kDisplayNameUnits, &DocumentFileInfo.icon);
    FormatBounded(WindowTitle, kTitleUnits, u"%s - %s", DocumentFileInfo.displayName, u"Quarnix");
    WindowSetTitle(WindowTitle);
}

const char16_t* LoadResultMessage(int result, MessageIcon* icon) {
    *icon = MessageIcon::Warning;
    switch (result) {
    case kLoadCannotOpen: return u"打开文件失败";
    case kLoadNotMarshal: return u"无法识别该文件的格式";
    case kLoadBadData: return u"文件数据有误或不完整";
    case kLoadBadObjectLink: return u"文件中有未正确链接的对象";
    case kLoadBadSymbolLink: return u"文件中有未正确链接的符号";
    case kLoadUnknownType: return u"文件中有未知类型的数据";
    case kLoadNoMemory:
        *icon = MessageIcon::Error;
        return u"系统内存不足";
    case kLoadTooDeep:
        *icon = MessageIcon::Error;
        return u"文件数据嵌套层次过深";
    default:
        *icon = MessageIcon::Error;
        return u"打开文件时发生未知错误";
    }
}

std::u16string FileDisplayName(const std::u16string& path) {
    char16_t name[kDisplayNameUnits];
    FileIcon icon = nullptr;
    GetFileDisplayInfo(path.c_str(), name, kDisplayNameUnits, &icon);
    if (icon) DestroyFileIcon(icon);
    return name;
}

std::u16string NamedLoadMessage(const std::u16string& path, int result, MessageIcon* icon) {
    return FileDisplayName(path) + u"：" + LoadResultMessage(result, icon);
}

namespace {
// Folders open for reading on POSIX, but they are no documents.
std::FILE* RefuseFolder(std::FILE* file) {
    if (!file) return nullptr;
    struct stat st {};
    if (fstat(fileno(file), &st) != 0 || (st.st_mode & S_IFMT) == S_IFDIR) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

#ifndef _WIN32
// A FIFO opens at once, before anything writes to it: the load then waits
// for its bytes where a cancel can reach it.  POSIX has no share modes:
// other processes may still write the file.
std::FILE* OpenForReading(const char* path) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}
#endif
}  // namespace

std::FILE* OpenDocumentFile(const char16_t* path) {
#ifdef _WIN32
    return RefuseFolder(_wfsopen(reinterpret_cast<const wchar_t*>(path), L"rb", _SH_DENYWR));
#else
    char* utf8 = WideToUtf8(path);
    std::FILE* file = utf8 ? OpenForReading(utf8) : nullptr;
    std::free(utf8);
    return RefuseFolder(file);
#endif
}

std::FILE* OpenDocumentFileBytes(const char* path) {
#ifdef _WIN32
    // The programs hand over their arguments in UTF-8 (app/console.h).
    char16_t* wide = Utf8ToWide(path);
    std::FILE* file = wide ? OpenDocumentFile(wide) : nullptr;
    std::free(wide);
    return file;
#else
    return RefuseFolder(OpenForReading(path));
#endif
}

void ReleaseDocument() {
    // The workers that read the document (the holder index, a search) stop
    // before anything of it goes, whoever releases it.
    NotifyDocumentClosing();
    // The panes go first, so no item ever points at a released node.
    ListDeleteAllRows();
    EmptyTreePane();
    StatusSetText(u"");
    ReleaseNode(&DocumentRoot);
    std::memset(&DocumentRoot, 0, sizeof DocumentRoot);
}

int LoadOpenedFile(std::FILE* file, const char16_t* path) {
    OpenJob job;
    OpenStepBegin(&job, path);
    OpenStepLoad(&job, job.pathFits ? file : nullptr);
    if (OpenStepLoaded(&job)) {
        OpenStepBuildTree(&job);
        OpenStepShowTree(&job);
    }
    return job.result;
}

// MARK: commands

void InitViewer() {
    std::memset(&DocumentRoot, 0, sizeof DocumentRoot);
    InsertListColumns();
}

bool ChooseDocumentPath() {
    DocumentPath[0] = u'\0';
    return ShowOpenDialog(DocumentPath, kDocumentPathUnits);
}

void OpenCommand() {
    if (ChooseDocumentPath()) OpenDocumentPath(DocumentPath);
}

void OpenDocumentPath(const char16_t* path) { StartOpenSequence(path); }

void ShutdownViewer() {
    ReleaseDocument();
    if (DocumentFileInfo.icon) DestroyFileIcon(DocumentFileInfo.icon);
    DocumentFileInfo.icon = nullptr;
}
