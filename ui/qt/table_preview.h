// The preview of a `Table`: a layer selector, the int16 values of the
// chosen layer as a grid, and beside it a heat-map picture of the layer.
#pragma once
#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ui/preview_view.h"

class QComboBox;
class QLabel;
class QTableView;

// One layer of a copied table.
class TableLayerModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetTable(const PreviewTable& table);
    // Both sides of a compared table: the new one's cells shown, the
    // changed ones known by kChangedRole and reading "旧 → 新" as tips.
    void SetCompared(const PreviewTable& before, const PreviewTable& after, int layer);
    void SetLayer(int layer);
    const PreviewTable& Table() const { return table_; }
    const PreviewTable& Before() const { return before_; }
    bool Compared() const { return compared_; }
    static constexpr int kChangedRole = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    PreviewTable table_;
    PreviewTable before_;
    bool compared_ = false;
    int layer_ = 0;
};

class TablePreview final : public QWidget {
    Q_OBJECT

public:
    explicit TablePreview(QWidget* parent = nullptr);

    void Show(const PreviewTable& table);
    // A compared table: its changed cells outlined, the heat map of its
    // changes, `layer` chosen first.
    void ShowCompared(const PreviewTable& before, const PreviewTable& after, int layer);
    QComboBox* LayerSelector() const { return layers_; }
    QTableView* Grid() const { return grid_; }
    QLabel* HeatMapLabel() const { return heat_; }

private:
    void ShowLayer(int layer);
    void FillLayers(int count, int chosen);

    TableLayerModel model_;
    QComboBox* layers_;
    QTableView* grid_;
    QLabel* heat_;
};
