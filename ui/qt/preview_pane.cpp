#include "ui/qt/preview_pane.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QImage>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/compare_preview.h"
#include "ui/qt/compare_preview_page.h"
#include "ui/qt/code_view.h"
#include "ui/qt/entry_menu.h"
#include "ui/qt/find_bar.h"
#include "ui/qt/list_model.h"
#include "ui/qt/qt_panes.h"
#include "ui/qt/ruby_highlighter.h"
#include "ui/qt/table_preview.h"
#include "ui/qt/tree_model.h"

namespace {
QString Q(const std::u16string& text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

QString JoinLines(const std::vector<std::u16string>& lines) {
    qsizetype size = 0;
    for (const auto& line : lines) size += static_cast<qsizetype>(line.size()) + 1;
    QString text;
    text.reserve(size);
    for (const auto& line : lines) {
        if (!text.isEmpty() || &line != &lines.front()) text += u'\n';
        text += QStringView(line.data(), static_cast<qsizetype>(line.size()));
    }
    return text;
}

// The image is copied: a pixmap may keep sharing an image's pixels, and the
// picture's are gone once the caller's temporary is.
QPixmap Pixmap(const PreviewPicture& picture) {
    return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                                     picture.height, QImage::Format_RGB32).copy());
}
}  // namespace

PreviewPane::PreviewPane(QTreeView* tree, TreeModel* treeModel, QTreeView* list, ListModel* listModel, QWidget* parent)
    : QWidget(parent), list_(list), listModel_(listModel), header_(new QLabel), problem_(new QLabel),
      pages_(new QStackedWidget), code_(new CodeView), highlighter_(new RubyHighlighter(this)),
      table_(new TablePreview), swatchPage_(new QWidget), swatch_(new QLabel), swatchText_(new QLabel),
      events_(new QListWidget), compare_(new ComparePreviewPage), refresh_(new QTimer(this)) {
    setObjectName(QStringLiteral("preview"));
    header_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->setWordWrap(true);
    problem_->hide();
    swatchText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    swatchText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* swatchLayout = new QHBoxLayout(swatchPage_);
    swatchLayout->addWidget(swatch_, 0, Qt::AlignTop);
    swatchLayout->addWidget(swatchText_, 1, Qt::AlignTop);
    events_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    events_->setUniformItemSizes(true);
    for (QWidget* page : {static_cast<QWidget*>(code_), static_cast<QWidget*>(table_), swatchPage_,
                          static_cast<QWidget*>(events_), static_cast<QWidget*>(compare_)})
        pages_->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(header_);
    layout->addWidget(problem_);
    layout->addWidget(pages_, 1);

    // Any change of what the panes select, or of the document, is read back
    // once the event loop is idle: the logic finishes its own steps first.
    refresh_->setSingleShot(true);
    refresh_->setInterval(0);
    connect(refresh_, &QTimer::timeout, this, &PreviewPane::Refresh);
    connect(treeModel, &QAbstractItemModel::modelReset, this, &PreviewPane::Forget);
    connect(listModel, &QAbstractItemModel::modelReset, this, &PreviewPane::ScheduleRefresh);
    connect(listModel, &QAbstractItemModel::rowsInserted, this, &PreviewPane::ScheduleRefresh);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &PreviewPane::ScheduleRefresh);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &PreviewPane::ScheduleRefresh);
    connect(events_, &QListWidget::currentRowChanged, this, &PreviewPane::ChooseLine);
    events_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(events_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = events_->indexAt(pos);
        if (!index.isValid()) return;
        if (QMenu* menu = LineMenu(index.row(), events_)) menu->popup(events_->viewport()->mapToGlobal(pos));
    });
}

QMenu* PreviewPane::LineMenu(int line, QWidget* parent) {
    std::vector<MenuEntry> entries = PreviewLineMenu(follower_, line);
    return entries.empty() ? nullptr : EntryMenu(std::move(entries), parent);
}

void PreviewPane::FollowFind(FindBar* find) {
    auto mark = [this, find] {
        code_->MarkMatches(find->Field()->text(), find->CaseBox()->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
    };
    connect(find->Field(), &QLineEdit::textChanged, this, mark);
    connect(find->CaseBox(), &QCheckBox::toggled, this, mark);
    connect(find, &FindBar::CloseRequested, this, [this] { code_->MarkMatches({}, Qt::CaseInsensitive); });
}

void PreviewPane::ScheduleRefresh() {
    if (isVisible()) refresh_->start();
}

// A new document (or none): nothing shown may be compared with its nodes.
void PreviewPane::Forget() {
    follower_.Forget();
    ScheduleRefresh();
}

void PreviewPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void PreviewPane::Refresh() {
    refresh_->stop();
    FlushPanes();
    ShowTarget(CurrentPreviewTarget());
}

void PreviewPane::ShowTarget(const PreviewTarget& target) {
    // While a comparison is shown, a difference's both sides.
    if (const StoredDifference* difference = CurrentPreviewDifference(target)) {
        const CompareView view = MakeCompareView(*difference);
        header_->setText(Q(view.header));
        problem_->hide();
        compare_->Show(view);
        pages_->setCurrentWidget(compare_);
        follower_.Forget();  // the value's own page is shown anew after
        return;
    }
    // The same page with another command selected: only the mark moves.
    if (follower_.Follow(target) == PreviewFollower::Change::kPage) ShowView(follower_.View());
    MarkLine();
}

void PreviewPane::ShowView(const PreviewView& view) {
    header_->setText(Q(view.header));
    problem_->setText(Q(view.problem));
    problem_->setVisible(!view.problem.empty());
    switch (view.page) {
    case PreviewPage::kText: return ShowLines(view);
    case PreviewPage::kTable:
        table_->Show(view.table);
        return pages_->setCurrentWidget(table_);
    case PreviewPage::kSwatch: return ShowSwatch(view);
    case PreviewPage::kEvents: return ShowEvents(view);
    }
}

void PreviewPane::ShowLines(const PreviewView& view) {
    // Attached to an empty document, the highlighter colours the text as it
    // is set; attached to one with text, it would wait for the event loop.
    code_->SetText({});
    highlighter_->setDocument(view.ruby ? code_->document() : nullptr);
    code_->SetText(JoinLines(view.lines));
    pages_->setCurrentWidget(code_);
}

void PreviewPane::ShowSwatch(const PreviewView& view) {
    swatch_->setPixmap(Pixmap(SwatchPicture(view.swatch)));
    swatchText_->setText(Q(view.swatchText));
    pages_->setCurrentWidget(swatchPage_);
}

void PreviewPane::ShowEvents(const PreviewView& view) {
    const QSignalBlocker block(events_);
    events_->clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(view.lines.size()));
    for (const auto& line : view.lines) lines.append(Q(line));
    events_->addItems(lines);
    pages_->setCurrentWidget(events_);
}

void PreviewPane::MarkLine() {
    if (pages_->currentWidget() != events_) return;
    const QSignalBlocker block(events_);
    events_->setCurrentRow(follower_.MarkedLine());
    if (follower_.MarkedLine() >= 0) events_->scrollToItem(events_->currentItem());
}

void PreviewPane::ChooseLine(int line) {
    const int row = follower_.ChooseLine(line);
    FlushPanes();
    if (row >= 0) list_->scrollTo(listModel_->index(row, 0));
}

QString PreviewPane::Header() const { return header_->text(); }
QString PreviewPane::Problem() const { return problem_->isVisibleTo(this) ? problem_->text() : QString(); }
QWidget* PreviewPane::CurrentPage() const { return pages_->currentWidget(); }
bool PreviewPane::Highlighted() const { return highlighter_->document() == code_->document(); }

