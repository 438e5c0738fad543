// The image list: seven images whatever could be loaded, the link overlay
// drawn over a copy of each, image 0 replaced by the file's icon.
#include <QApplication>
#include <QStyle>
#include <gtest/gtest.h>

#include "ui/qt/pane_images.h"

namespace {

QImage Picture(const QIcon& icon) { return icon.pixmap(QSize(16, 16), 1.0).toImage(); }

TEST(PaneImages, SevenDistinctImagesEachWithAnOverlaidCopy) {
    PaneImages images;
    for (int i = 0; i < PaneImages::Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(images.Icon(i).isNull());
        EXPECT_FALSE(images.Icon(i, kLinkOverlay).isNull());
        EXPECT_NE(Picture(images.Icon(i)), Picture(images.Icon(i, kLinkOverlay)));
        for (int j = 0; j < i; ++j) EXPECT_NE(Picture(images.Icon(i)), Picture(images.Icon(j))) << j;
    }
    EXPECT_TRUE(images.Icon(-1).isNull());
    EXPECT_TRUE(images.Icon(PaneImages::Count()).isNull());
}

TEST(PaneImages, AMissingImageBecomesTheWarningIcon) {
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    EXPECT_EQ(Picture(PaneImages::Load(QStringLiteral("no-such-image"))), Picture(warning));
    EXPECT_NE(Picture(PaneImages::Load(QStringLiteral("1-container"))), Picture(warning));
}

TEST(PaneImages, TheFileImageFollowsTheLoadedFile) {
    PaneImages images;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images.ReplaceFileIcon(QIcon(red));
    EXPECT_EQ(Picture(images.Icon(kImageFile)), red.toImage().convertToFormat(Picture(images.Icon(kImageFile)).format()));
    const QImage before = Picture(images.Icon(kImageFile));
    images.ReplaceFileIcon(QIcon());
    EXPECT_EQ(Picture(images.Icon(kImageFile)), before);
}

}  // namespace
