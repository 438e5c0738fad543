#include "ui/qt/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/qt/modal.h"
#include "ui/qt/pane_images.h"
#include "quarnix_version.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Quarnix"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(PaneImages::AppIcon().pixmap(QSize(32, 32), devicePixelRatio()));
    auto* product = new QLabel(QStringLiteral(QUARNIX_PRODUCT_LINE), this);
    product->setObjectName(QStringLiteral("product"));
    product->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 14, 14);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(14);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(product, 0, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(ok, 1, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAboutDialog(QWidget* parent) {
    AboutDialog dialog(parent);
    RunModal(dialog);
}
