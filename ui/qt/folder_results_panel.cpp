#include "ui/qt/folder_results_panel.h"

#include <QAbstractListModel>
#include <QBrush>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/game_folder_controller.h"
#include "ui/qt/qt_panes.h"

namespace {
const QColor kWriteColour(0xb0, 0x20, 0x20);
}  // namespace

// The controller's lines as rows.  Lines are only ever appended to the
// controller's list, or the list is emptied or replaced when a search
// begins: the model inserts what arrived and resets otherwise, so a batch
// costs its own lines only.
class FolderResultsModel final : public QAbstractListModel {
public:
    explicit FolderResultsModel(const GameFolderController& folder, QObject* parent)
        : QAbstractListModel(parent), folder_(folder) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : shown_; }

    QVariant data(const QModelIndex& index, int role) const override {
        const auto& results = folder_.Results();
        if (!index.isValid() || index.row() >= shown_ || static_cast<std::size_t>(index.row()) >= results.size())
            return {};
        const FolderResult& result = results[static_cast<std::size_t>(index.row())];
        if (role == Qt::DisplayRole) return QString::fromStdU16String(result.text);
        if (role == Qt::ForegroundRole && result.write) return QBrush(kWriteColour);
        return {};
    }

    // A new search: the lines of the last one go.
    void Restart() {
        beginResetModel();
        shown_ = 0;
        endResetModel();
    }

    void Follow() {
        const int size = static_cast<int>(folder_.Results().size());
        if (size < shown_) {
            beginResetModel();
            shown_ = size;
            endResetModel();
        } else if (size > shown_) {
            beginInsertRows({}, shown_, size - 1);
            shown_ = size;
            endInsertRows();
        }
    }

private:
    const GameFolderController& folder_;
    int shown_ = 0;
};

FolderResultsPanel::FolderResultsPanel(GameFolderController& folder, QWidget* parent)
    : QWidget(parent), folder_(folder), model_(new FolderResultsModel(folder, this)), heading_(new QLabel),
      cancel_(new QPushButton(QStringLiteral("取消"))), close_(new QPushButton(QStringLiteral("关闭"))),
      lines_(new QListView) {
    setObjectName(QStringLiteral("folderResults"));
    heading_->setObjectName(QStringLiteral("folderResultsHeading"));
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines_->setObjectName(QStringLiteral("folderResultLines"));
    lines_->setModel(model_);
    // Every line is one text of one height: the view lays out 100,000 lines
    // without measuring each.
    lines_->setUniformItemSizes(true);
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 0, 4, 0);
    top->addWidget(heading_, 1);
    top->addWidget(cancel_);
    top->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(lines_, 1);
    cancel_->hide();

    connect(cancel_, &QPushButton::clicked, this, [this] { RunLogic([this] { folder_.Cancel(); }); });
    connect(close_, &QPushButton::clicked, this, &FolderResultsPanel::Close);
    // Enter, or a double-click (a single click where the style says so).
    connect(lines_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { Choose(index.row()); });
    folder_.showResults = [this] {
        model_->Restart();
        if (isHidden()) {
            show();
            emit Opened();
        }
    };
    folder_.resultsChanged = [this] { Update(); };
}

FolderResultsPanel::~FolderResultsPanel() {
    folder_.showResults = nullptr;
    folder_.resultsChanged = nullptr;
}

QString FolderResultsPanel::HeadingText() const { return heading_->text(); }

void FolderResultsPanel::Update() {
    heading_->setText(QString::fromStdU16String(folder_.Title() + u"　" + folder_.Status()));
    cancel_->setVisible(folder_.Running());
    model_->Follow();
}

void FolderResultsPanel::Choose(int line) {
    RunLogic([this, line] { folder_.Choose(line); });
}

void FolderResultsPanel::Close() {
    RunLogic([this] { folder_.Clear(); });
    hide();
}
