// The one image list both panes draw from: seven images whose index is
// their identity (ui/panes.h), each with a copy that carries the link
// overlay, so that a row with overlay 1 costs no drawing at paint time.
#pragma once
#include <QIcon>
#include <QString>

#include "ui/panes.h"

class PaneImages {
public:
    PaneImages();

    // Image `image` as a row shows it; overlay kLinkOverlay draws the link
    // overlay on top.  Indices out of range give the null icon.
    const QIcon& Icon(int image, int overlay = 0) const;
    // Image kImageFile becomes the loaded file's icon.
    void ReplaceFileIcon(const QIcon& icon);
    static constexpr int Count() { return kImageCount; }

    // Loads one of our images by its resource base name ("1-container"); a
    // missing image gives the style's warning icon, so the list always has
    // all seven and the indices keep their meaning.
    static QIcon Load(const QString& baseName);
    static QIcon AppIcon();

private:
    void ComposeOverlay(int image);

    QIcon plain_[kImageCount];
    QIcon overlaid_[kImageCount];
};
