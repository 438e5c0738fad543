#include "ui/qt/list_model.h"

#include <QColor>

#include <algorithm>

#include "ui/qt/pane_images.h"

ListModel::ListModel(const PaneImages& images, QObject* parent) : QAbstractTableModel(parent), images_(images) {}

void ListModel::InsertColumn(int index, const QString& header) {
    if (index < 0 || index > headers_.size()) index = static_cast<int>(headers_.size());
    if (headers_.size() >= ListStore::kColumns) return;
    beginInsertColumns({}, index, index);
    headers_.insert(index, header);
    endInsertColumns();
}

void ListModel::Clear() {
    if (store_.Size() == 0) return;
    beginResetModel();
    store_.Clear();
    shown_ = 0;
    endResetModel();
}

template <typename StoreInsert>
void ListModel::InsertWith(int row, StoreInsert insert) {
    if (row < 0 || row >= store_.Size()) {
        if (!HasUnpublished()) emit Unpublished();
        insert(store_.Size());
        return;
    }
    // Inserting between rows: announce the appended ones first, so that row
    // numbers mean the same to the views and the store.
    Publish();
    const int before = store_.Size();
    beginInsertRows({}, row, row);
    insert(row);
    shown_ += store_.Size() - before;
    endInsertRows();
}

void ListModel::Insert(int row, const char16_t* text, int image, int overlay, const MarshalNode* node) {
    InsertWith(row, [&](int at) { store_.Insert(at, text, image, overlay, node); });
}

void ListModel::InsertChild(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                            const MarshalNode* node) {
    InsertWith(row, [&](int at) { store_.InsertChild(at, container, index, image, overlay, node); });
}

void ListModel::SetCell(int row, int column, const char16_t* text) {
    store_.SetCell(row, column, text);
    if (row >= 0 && row < shown_ && column >= 0 && column < columnCount()) {
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

void ListModel::SetMark(int row, std::uint8_t mark) {
    store_.SetMark(row, mark);
    if (row >= 0 && row < shown_) emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
}

void ListModel::Publish() {
    if (!HasUnpublished()) return;
    beginInsertRows({}, shown_, store_.Size() - 1);
    shown_ = store_.Size();
    endInsertRows();
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_ || index.column() >= columnCount()) return {};
    switch (role) {
    case Qt::DisplayRole: {
        const std::u16string text = store_.Cell(index.row(), index.column());
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::ToolTipRole: {
        // The whole text, line breaks included, for cells too narrow for it;
        // a very long one is cut so the tip stays quick to show.
        constexpr std::size_t kMaxTip = 4000;
        const std::u16string text = store_.Cell(index.row(), index.column());
        QString tip = QString::fromUtf16(text.data(), static_cast<qsizetype>(std::min(text.size(), kMaxTip)));
        if (text.size() > kMaxTip) tip += QStringLiteral("…");
        return tip;
    }
    case Qt::DecorationRole:
        if (index.column() != 0) return {};
        return images_.Icon(store_.At(index.row()).image, store_.At(index.row()).overlay);
    case Qt::BackgroundRole:
        if (const std::uint8_t mark = store_.At(index.row()).mark; mark == kMarkChanged || mark == kMarkAdded)
            return QColor::fromRgb(kMarkBackground[mark]);
        return {};
    case Qt::ForegroundRole:
        if (store_.At(index.row()).mark == kMarkRemoved) return QColor::fromRgb(kMarkGreyText);
        return {};
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return {};
    return headers_.at(section);
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
