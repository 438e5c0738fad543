// The list pane's rows as a Qt item model: a thin view over a ListStore.
//
// A fill appends up to millions of rows.  Rows appended at the end are not
// announced one by one: the model shows `shown_` rows and Publish()
// announces all rows appended since in one insertion.  Cells of rows not yet
// shown change without a signal.
#pragma once
#include <QAbstractTableModel>
#include <QStringList>

#include "ui/item_store.h"

class PaneImages;

class ListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListModel(const PaneImages& images, QObject* parent = nullptr);

    const ListStore& Store() const { return store_; }
    void InsertColumn(int index, const QString& header);
    void Clear();
    void Insert(int row, const char16_t* text, int image, int overlay, const MarshalNode* node);
    void InsertChild(int row, const MarshalNode* container, std::int64_t index, int image, int overlay,
                     const MarshalNode* node);
    void SetCell(int row, int column, const char16_t* text);
    void SetMark(int row, std::uint8_t mark);
    // Announces the rows appended since the last Publish().
    void Publish();
    bool HasUnpublished() const { return shown_ < store_.Size(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // Rows were appended that no view shows yet.
    void Unpublished();

private:
    // Inserts through `insert(at)`, announcing the row unless it is appended.
    template <typename StoreInsert>
    void InsertWith(int row, StoreInsert insert);

    const PaneImages& images_;
    ListStore store_;
    QStringList headers_;
    int shown_ = 0;  // rows 0 .. shown_-1 are announced
};
