#include "ui/qt/table_preview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

void TableLayerModel::SetTable(const TableGrid& grid) {
    beginResetModel();
    const std::size_t count = static_cast<std::size_t>(grid.x * grid.y * grid.z);
    cells_.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        cells_[i] = static_cast<std::int16_t>(static_cast<unsigned char>(grid.cells[2 * i]) |
                                              (static_cast<unsigned char>(grid.cells[2 * i + 1]) << 8));
    x_ = static_cast<int>(grid.x);
    y_ = static_cast<int>(grid.y);
    layer_ = 0;
    endResetModel();
}

void TableLayerModel::SetLayer(int layer) {
    layer_ = layer;
    if (x_ && y_) emit dataChanged(index(0, 0), index(y_ - 1, x_ - 1));
}

int TableLayerModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : y_; }
int TableLayerModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : x_; }

QVariant TableLayerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return Value(index.column(), index.row());
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TableLayerModel::headerData(int section, Qt::Orientation, int role) const {
    return role == Qt::DisplayRole ? QVariant(section) : QVariant();
}

namespace {
constexpr int kHeatSize = 200;

// Zero (an empty tile) is black; other values run from blue through green to
// red over the layer's range.  A big layer is sampled, at most 400 x 400.
QImage HeatMap(const TableLayerModel& m) {
    const int w = std::clamp(m.Columns(), 1, 400), h = std::clamp(m.Rows(), 1, 400);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (!m.Columns() || !m.Rows()) return image.scaled(kHeatSize, kHeatSize, Qt::KeepAspectRatio);
    auto at = [&](int px, int py) {
        return m.Value(static_cast<int>(std::int64_t{px} * m.Columns() / w), static_cast<int>(std::int64_t{py} * m.Rows() / h));
    };
    int low = INT16_MAX, high = INT16_MIN;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (const int v = at(x, y)) low = std::min(low, v), high = std::max(high, v);
    QRgb ramp[256];
    for (int i = 0; i < 256; ++i) ramp[i] = QColor::fromHsv(240 - i * 240 / 255, 220, 235).rgb();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (const int v = at(x, y)) line[x] = ramp[high > low ? (v - low) * 255 / (high - low) : 255];
    }
    return image.scaled(kHeatSize, kHeatSize, Qt::KeepAspectRatio, Qt::FastTransformation);
}
}  // namespace

TablePreview::TablePreview(QWidget* parent)
    : QWidget(parent), layers_(new QComboBox), grid_(new QTableView), heat_(new QLabel) {
    grid_->setModel(&model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed section sizes: the view lays out 500 columns without measuring them.
    for (QHeaderView* h : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(8);
    }
    grid_->horizontalHeader()->setDefaultSectionSize(52);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    heat_->setFixedSize(kHeatSize, kHeatSize);
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

void TablePreview::Show(const TableGrid& grid) {
    model_.SetTable(grid);
    const QSignalBlocker block(layers_);
    layers_->clear();
    for (std::int64_t z = 0; z < grid.z; ++z) layers_->addItem(QStringLiteral("z = %1").arg(z));
    layers_->setEnabled(grid.z > 1);
    ShowLayer(0);
}

void TablePreview::ShowLayer(int layer) {
    if (layer < 0) return;
    model_.SetLayer(layer);
    heat_->setPixmap(QPixmap::fromImage(HeatMap(model_)));
}
