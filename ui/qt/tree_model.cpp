#include "ui/qt/tree_model.h"

#include <QColor>

#include <climits>
#include <utility>

#include "ui/qt/pane_images.h"

TreeModel::TreeModel(const PaneImages& images, QObject* parent) : QAbstractItemModel(parent), images_(images) {}

void TreeModel::BeginBuild() {
    Clear();
    built_.Clear();
    building_ = true;
}

void TreeModel::EndBuild() {
    if (!building_) return;
    building_ = false;
    beginResetModel();
    std::swap(store_, built_);
    built_.Clear();
    expanded_ = 0;
    shown_ = true;
    endResetModel();
}

void TreeModel::Clear() {
    if (building_) {
        built_.Clear();
        return;
    }
    // Already empty: no reset, views keep nothing that could change.
    if (shown_ && store_.Size() == 0) return;
    beginResetModel();
    store_.Clear();
    expanded_ = 0;
    shown_ = true;
    endResetModel();
}

TreeModel::Id TreeModel::Insert(Id parent, const char16_t* text, int image, const MarshalNode* node) {
    if (building_) return built_.Insert(parent, text, image, node);
    Unpublish();
    const Id id = store_.Insert(parent, text, image, node);
    return id;
}

void TreeModel::Unpublish() {
    if (!shown_) return;
    // Adding below items a view already shows: hide the whole tree until
    // the next Publish() rather than signal every insertion.
    if (store_.Size() > 0) {
        beginResetModel();
        shown_ = false;
        endResetModel();
    } else {
        shown_ = false;
    }
    emit Unpublished();
}

TreeModel::Id TreeModel::InsertBefore(Id parent, Id before, const char16_t* text, int image, const MarshalNode* node) {
    if (building_) return built_.InsertBefore(parent, before, text, image, node);
    Unpublish();
    return store_.InsertBefore(parent, before, text, image, node);
}

void TreeModel::Unlink(Id id) {
    if (building_) return built_.Unlink(id);
    Unpublish();
    store_.Unlink(id);
}

void TreeModel::SetExpanded(Id id, bool expanded) {
    if (!store_.Valid(id) || store_.At(id).expanded == expanded) return;
    store_.SetExpanded(id, expanded);
    if (expanded) ++expanded_;
    else --expanded_;
}

bool TreeModel::Publish() {
    if (shown_) return false;
    beginResetModel();
    shown_ = true;
    endResetModel();
    return true;
}

QModelIndex TreeModel::IndexOf(Id id) const {
    if (!shown_ || !store_.Valid(id)) return {};
    return createIndex(static_cast<int>(store_.At(id).row), 0, static_cast<quintptr>(id));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || row >= rowCount(parent)) return {};
    const Id id = store_.ChildAtRow(parent.isValid() ? IdOf(parent) : 0, static_cast<std::uint32_t>(row));
    return id ? createIndex(row, 0, static_cast<quintptr>(id)) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    if (!shown_ || !child.isValid()) return {};
    const Id id = IdOf(child);
    if (!store_.Valid(id)) return {};
    return IndexOf(store_.At(id).parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (!shown_) return 0;
    std::uint32_t rows = store_.TopLevelCount();
    if (parent.isValid()) {
        const Id id = IdOf(parent);
        if (parent.column() != 0 || !store_.Valid(id)) return 0;
        rows = store_.At(id).children;
    }
    return rows > INT_MAX ? INT_MAX : static_cast<int>(rows);
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    if (!shown_ || !index.isValid()) return {};
    const Id id = IdOf(index);
    if (!store_.Valid(id)) return {};
    switch (role) {
    case Qt::DisplayRole: {
        const std::u16string_view text = store_.Text(id);
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::DecorationRole:
        return images_.Icon(store_.At(id).image);
    case Qt::BackgroundRole:
        if (const std::uint8_t mark = store_.At(id).mark; mark == kMarkChanged || mark == kMarkAdded)
            return QColor::fromRgb(kMarkBackground[mark]);
        return {};
    case Qt::ForegroundRole:
        if (store_.At(id).mark == kMarkRemoved) return QColor::fromRgb(kMarkGreyText);
        return {};
    default:
        return {};
    }
}

void TreeModel::SetMark(Id id, const char16_t* text, std::uint8_t mark) {
    store_.SetMark(id, text, mark);
    if (!shown_ || !store_.Valid(id)) return;
    const QModelIndex item = IndexOf(id);
    emit dataChanged(item, item, {Qt::DisplayRole, Qt::BackgroundRole, Qt::ForegroundRole});
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
