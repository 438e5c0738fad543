#include "ui/qt/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "ui/qt/pane_state.h"

FindBar::FindBar(FindController& find, QWidget* parent) : QWidget(parent), find_(find) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("查找:")));
    field_ = new QLineEdit;
    field_->setObjectName(QStringLiteral("findText"));
    field_->setMinimumWidth(240);
    field_->installEventFilter(this);
    layout->addWidget(field_, 1);
    const QString names[] = {QStringLiteral("名称"), QStringLiteral("类型"), QStringLiteral("值")};
    for (int c = 0; c < 3; ++c) {
        columns_[c] = new QCheckBox(names[c]);
        columns_[c]->setChecked(true);
        connect(columns_[c], &QCheckBox::toggled, this, &FindBar::QueryChanged);
        layout->addWidget(columns_[c]);
    }
    matchCase_ = new QCheckBox(QStringLiteral("区分大小写"));
    connect(matchCase_, &QCheckBox::toggled, this, &FindBar::QueryChanged);
    layout->addWidget(matchCase_);
    auto* previous = new QPushButton(QStringLiteral("上一个"));
    auto* next = new QPushButton(QStringLiteral("下一个"));
    connect(previous, &QPushButton::clicked, this, &FindBar::Previous);
    connect(next, &QPushButton::clicked, this, &FindBar::Next);
    layout->addWidget(previous);
    layout->addWidget(next);
    auto* inFolder = new QPushButton(QStringLiteral("在文件夹中查找"));
    inFolder->setObjectName(QStringLiteral("findInFolder"));
    connect(inFolder, &QPushButton::clicked, this, &FindBar::FindInFolderRequested);
    layout->addWidget(inFolder);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->setMinimumWidth(160);
    layout->addWidget(status_);
    auto* close = new QPushButton(QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &FindBar::CloseRequested);
    layout->addWidget(close);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::CloseRequested);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::QueryChanged);
    find_.statusChanged = [this] { status_->setText(QString::fromStdU16String(find_.StatusText())); };
}

FindBar::~FindBar() { find_.statusChanged = nullptr; }

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) Previous();
            else Next();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::QueryChanged() {
    FindQuery query;
    query.text = field_->text().toStdU16String();
    const unsigned bits[] = {kFindName, kFindType, kFindValue};
    query.columns = 0;
    for (int c = 0; c < 3; ++c)
        if (columns_[c]->isChecked()) query.columns |= bits[c];
    query.matchCase = matchCase_->isChecked();
    find_.SetQuery(std::move(query));
}

QString FindBar::StatusText() const { return status_->text(); }

// A step shows its hit in the panes: the views follow at once.
void FindBar::Next() { RunLogic([this] { find_.Next(); }); }
void FindBar::Previous() { RunLogic([this] { find_.Previous(); }); }
