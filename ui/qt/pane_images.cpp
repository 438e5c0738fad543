#include "ui/qt/pane_images.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// Resource base names in image-list order.
constexpr const char* kImageNames[kImageCount] = {
    "0-file", "1-container", "2-open-container", "3-stack", "4-value", "5-number", "6-link-overlay",
};
constexpr int kImageSizes[] = {16, 32};

}  // namespace

// Resources of a static library need registering by hand.
static void InitResources() {
    static bool done = false;
    if (done) return;
    done = true;
    Q_INIT_RESOURCE(quarnix);
}

QIcon PaneImages::Load(const QString& baseName) {
    InitResources();
    QIcon icon;
    for (int size : kImageSizes) {
        const QString path = QStringLiteral(":/icons/%1-%2.png").arg(baseName).arg(size);
        if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
    }
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    return icon;
}

QIcon PaneImages::AppIcon() {
    InitResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/app/quarnix-%1.png").arg(size), QSize(size, size));
    return icon;
}

PaneImages::PaneImages() {
    for (int i = 0; i < kImageCount; ++i) plain_[i] = Load(QString::fromLatin1(kImageNames[i]));
    for (int i = 0; i < kImageCount; ++i) ComposeOverlay(i);
}

const QIcon& PaneImages::Icon(int image, int overlay) const {
    static const QIcon none;
    if (image < 0 || image >= kImageCount) return none;
    return overlay == kLinkOverlay ? overlaid_[image] : plain_[image];
}

void PaneImages::ReplaceFileIcon(const QIcon& icon) {
    if (icon.isNull()) return;
    plain_[kImageFile] = icon;
    ComposeOverlay(kImageFile);
}

void PaneImages::ComposeOverlay(int image) {
    QIcon composed;
    for (int size : kImageSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const QRect box(0, 0, size, size);
        plain_[image].paint(&painter, box);
        plain_[kImageLinkOverlay].paint(&painter, box);
        painter.end();
        composed.addPixmap(pixmap);
    }
    overlaid_[image] = composed;
}
