// The tree pane's items as a Qt item model: a thin view over a TreeStore.
//
// Building a tree of millions of items must not cost a model signal per
// item.  Clear() resets the model to empty at once; Insert() only appends to
// the store, and the model keeps answering "no rows" until Publish() shows
// everything added since with one reset.  The pane layer publishes before
// the view is needed and at the end of every command.
#pragma once
#include <QAbstractItemModel>

#include "ui/item_store.h"

class PaneImages;

class TreeModel final : public QAbstractItemModel {
    Q_OBJECT

public:
    using Id = TreeStore::Id;

    explicit TreeModel(const PaneImages& images, QObject* parent = nullptr);

    // The items the pane operations see: while a tree is built in the
    // background, the store being built (the views go on showing the other).
    const TreeStore& Store() const { return building_ ? built_ : store_; }
    // From here until EndBuild the pane operations build a store of their
    // own, on any one thread, without a model signal; the views stay empty.
    void BeginBuild();
    // Shows the store that was built, with one reset (window thread).
    void EndBuild();
    void Clear();
    // Adds an item as the last child of `parent` (0: top level); 0 when the
    // store refuses it.  Not shown before the next Publish().
    Id Insert(Id parent, const char16_t* text, int image, const MarshalNode* node);
    // A comparison's removed containers: an item put before `before`, and
    // one taken away with its subtree; neither shown before the next Publish().
    Id InsertBefore(Id parent, Id before, const char16_t* text, int image, const MarshalNode* node);
    void Unlink(Id id);
    // Shows what was inserted since the last Publish(); true when that took
    // a reset (after which views have forgotten expansion and current item).
    bool Publish();
    bool HasUnpublished() const { return !shown_; }
    void SetExpanded(Id id, bool expanded);
    // Items whose expanded flag is set: none after Clear().
    std::uint32_t ExpandedCount() const { return expanded_; }
    void SetCaret(Id id) { store_.SetCaret(id); }
    void SetMark(Id id, const char16_t* text, std::uint8_t mark);

    QModelIndex IndexOf(Id id) const;
    static Id IdOf(const QModelIndex& index) { return static_cast<Id>(index.internalId()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // Items were added that no view shows yet.
    void Unpublished();

private:
    // Views forget the items until the next Publish().
    void Unpublish();
    const PaneImages& images_;
    TreeStore store_;
    TreeStore built_;
    bool building_ = false;
    std::uint32_t expanded_ = 0;
    bool shown_ = true;           // the model answers from the whole store
};
