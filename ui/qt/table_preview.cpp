#include "ui/qt/table_preview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/compare_preview.h"

namespace {
// A table with a size of zero has no cells: no rows and no columns either
// (a header of two billion empty columns would be laid out).
bool Empty(const PreviewTable& t) { return !t.x || !t.y || !t.z; }
}  // namespace

void TableLayerModel::SetTable(const PreviewTable& table) {
    beginResetModel();
    table_ = table;
    before_ = {};
    compared_ = false;
    layer_ = 0;
    endResetModel();
}

void TableLayerModel::SetCompared(const PreviewTable& before, const PreviewTable& after, int layer) {
    beginResetModel();
    table_ = after;
    before_ = before;
    compared_ = true;
    layer_ = layer;
    endResetModel();
}

void TableLayerModel::SetLayer(int layer) {
    layer_ = layer;
    if (!Empty(table_)) emit dataChanged(index(0, 0), index(table_.y - 1, table_.x - 1));
}

int TableLayerModel::rowCount(const QModelIndex& parent) const { return parent.isValid() || Empty(table_) ? 0 : table_.y; }
int TableLayerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || Empty(table_) ? 0 : table_.x;
}

QVariant TableLayerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return table_.At(index.column(), index.row(), layer_);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    const bool changed = compared_ && CellChanged(before_, table_, index.column(), index.row(), layer_);
    if (role == kChangedRole) return changed;
    if (role == Qt::ToolTipRole && changed)
        return QStringLiteral("%1 → %2").arg(before_.At(index.column(), index.row(), layer_))
            .arg(table_.At(index.column(), index.row(), layer_));
    return {};
}

QVariant TableLayerModel::headerData(int section, Qt::Orientation, int role) const {
    return role == Qt::DisplayRole ? QVariant(section) : QVariant();
}

namespace {
// A changed cell of a compared table: a red frame inside its borders.
class ChangedCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(TableLayerModel::kChangedRole).toBool()) return;
        painter->save();
        painter->setPen(QPen(QColor(0xe0, 0x20, 0x20), 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

QImage HeatMap(const TableLayerModel& model, int layer) {
    const PreviewPicture picture = model.Compared() ? ChangeHeatMap(model.Before(), model.Table(), layer)
                                                    : TableHeatMap(model.Table(), layer);
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                       QImage::Format_RGB32);
    return image.scaled(kHeatMapSide, kHeatMapSide, Qt::KeepAspectRatio, Qt::FastTransformation);
}
}  // namespace

TablePreview::TablePreview(QWidget* parent)
    : QWidget(parent), layers_(new QComboBox), grid_(new QTableView), heat_(new QLabel) {
    grid_->setModel(&model_);
    grid_->setItemDelegate(new ChangedCellDelegate(grid_));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed section sizes: the view lays out 500 columns without measuring them.
    for (QHeaderView* h : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(8);
    }
    grid_->horizontalHeader()->setDefaultSectionSize(52);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    heat_->setFixedSize(kHeatMapSide, kHeatMapSide);
    heat_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("层：")));
    top->addWidget(layers_);
    top->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(grid_, 1);
    body->addWidget(heat_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    connect(layers_, &QComboBox::currentIndexChanged, this, &TablePreview::ShowLayer);
}

void TablePreview::Show(const PreviewTable& table) {
    model_.SetTable(table);
    FillLayers(table.z, 0);
}

void TablePreview::ShowCompared(const PreviewTable& before, const PreviewTable& after, int layer) {
    model_.SetCompared(before, after, layer);
    FillLayers(after.z, layer);
}

void TablePreview::FillLayers(int count, int chosen) {
    const QSignalBlocker block(layers_);
    layers_->clear();
    for (int z = 0; z < count; ++z) layers_->addItem(QString::fromStdU16String(TableLayerName(z)));
    layers_->setEnabled(count > 1);
    layers_->setCurrentIndex(chosen);
    ShowLayer(chosen);
}

void TablePreview::ShowLayer(int layer) {
    if (layer < 0) return;
    model_.SetLayer(layer);
    heat_->setPixmap(QPixmap::fromImage(HeatMap(model_, layer)));
}
