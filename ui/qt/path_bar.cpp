#include "ui/qt/path_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

#include "ui/qt/pane_state.h"

PathBar::PathBar(NavigationController& navigation, QWidget* parent) : QWidget(parent), navigation_(navigation) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("转到路径:")));
    field_ = new QLineEdit;
    field_->setObjectName(QStringLiteral("pathText"));
    field_->setMinimumWidth(360);
    layout->addWidget(field_, 1);
    error_ = new QLabel;
    error_->setObjectName(QStringLiteral("pathError"));
    error_->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(error_);
    connect(field_, &QLineEdit::returnPressed, this, &PathBar::Go);
    connect(field_, &QLineEdit::textEdited, error_, &QLabel::clear);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &PathBar::CloseRequested);
}

QString PathBar::ErrorText() const { return error_->text(); }

void PathBar::Prepare(const QString& path) {
    field_->setText(path);
    field_->selectAll();
    error_->clear();
}

void PathBar::Go() {
    QString error;
    RunLogic([&] { error = QString::fromStdU16String(navigation_.GoToPath(field_->text().toStdU16String())); });
    error_->setText(error);
    if (error.isEmpty()) emit CloseRequested();
}
