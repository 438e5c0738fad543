// The Open command after its dialog, in the steps a front end may spread
// over its window's thread and a worker: release, load, title, tree, and
// the message for a failure, always in this order.
#include <cstring>

#include "marshal/document.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "ui/window_providers.h"
#include "ui/viewer.h"

void OpenStepBegin(OpenJob* job, const char16_t* path) {
    std::size_t length = 0;
    while (path[length]) ++length;
    job->pathFits = length < static_cast<std::size_t>(kDocumentPathUnits);
    job->path[0] = u'\0';
    if (job->pathFits) {
        std::memcpy(job->path, path, (length + 1) * sizeof(char16_t));
        if (path != DocumentPath) std::memcpy(DocumentPath, path, (length + 1) * sizeof(char16_t));
    }
    job->result = kLoadCannotOpen;
    job->built = false;
    std::memcpy(job->titleBefore, WindowTitle, sizeof WindowTitle);
    ReleaseDocument();
    ViewerDocument.cancel.store(false);
    // The wait cursor covers the load and the tree's building, which for a
    // big map is a good part of the wait; never the message box.
    SetBusy(true);
}

void OpenStepLoad(OpenJob* job, std::FILE* file) {
    job->result = file ? LoadDocument(file) : kLoadCannotOpen;
}

bool OpenStepLoaded(OpenJob* job) {
    // A cancel that comes after the last byte still cancels.
    if (job->result == kLoadOk && ViewerDocument.cancel.load()) job->result = kLoadCancelled;
    if (job->result == kLoadOk) {
        ShowDocumentTitle(job->path);
        return true;
    }
    ReleaseDocument();
    SetBusy(false);
    // The new file of `--compare` is named, as the old one would be; no comparison follows.
    const bool compared = NotifyOpenFailed(job->path);
    // A load the user cancelled ends like a failed one, without a message.
    if (job->result == kLoadCancelled) return false;
    // The text first: it sets the icon.
    MessageIcon icon;
    const std::u16string text = compared ? NamedLoadMessage(job->path, job->result, &icon)
                                         : std::u16string(LoadResultMessage(job->result, &icon));
    ShowMessage(text.c_str(), icon);
    return false;
}

void OpenStepBuildTree(OpenJob* job) { job->built = BuildTreeItems() != nullptr; }

void OpenStepShowTree(OpenJob* job) {
    if (job->built) {
        ImagesReplaceFileIcon(DocumentFileInfo.icon);
        TreeItem root = TreeRootItem();
        TreeExpandItem(root);
        TreeSelectItem(root);
    } else {
        // Cancelled after the title step: it ends as a cancelled load does,
        // under the title the window had before.
        ReleaseDocument();
        std::memcpy(WindowTitle, job->titleBefore, sizeof WindowTitle);
        WindowSetTitle(WindowTitle);
    }
    SetBusy(false);
}

void CancelOpen() { ViewerDocument.cancel.store(true); }

void OpenProgress(std::uint64_t* read, std::uint64_t* total) {
    *read = ViewerDocument.bytesRead.load(std::memory_order_relaxed);
    *total = ViewerDocument.bytesTotal.load(std::memory_order_relaxed);
}
