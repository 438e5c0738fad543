// The preview of a `Table`: a layer selector, the int16 values of the
// chosen layer as a grid, and beside it a heat-map picture of the layer.
#pragma once
#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "lens/table_reading.h"

class QComboBox;
class QLabel;
class QTableView;

// One layer of a copied table (the preview must not keep pointers into a
// document that a new load releases).
class TableLayerModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetTable(const TableGrid& grid);
    void SetLayer(int layer);
    std::int16_t Value(int x, int y) const { return cells_[static_cast<std::size_t>(x + x_ * (y + y_ * layer_))]; }
    int Columns() const { return x_; }
    int Rows() const { return y_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::int16_t> cells_;
    int x_ = 0, y_ = 0, layer_ = 0;
};

class TablePreview final : public QWidget {
    Q_OBJECT

public:
    explicit TablePreview(QWidget* parent = nullptr);

    void Show(const TableGrid& grid);
    QComboBox* LayerSelector() const { return layers_; }
    QTableView* Grid() const { return grid_; }
    QLabel* HeatMapLabel() const { return heat_; }

private:
    void ShowLayer(int layer);

    TableLayerModel model_;
    QComboBox* layers_;
    QTableView* grid_;
    QLabel* heat_;
};
