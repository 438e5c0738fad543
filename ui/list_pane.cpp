// The list pane: the children of the container selected in the tree pane.
#include <cstdlib>

#include "marshal/load.h"
#include "present/access_path.h"
#include "present/labels.h"
#include "present/node_location.h"
#include "present/value_text.h"
#include "ui/viewer.h"

namespace {
// Links are pictured by what they point at; numbers and raw bytes have an
// image of their own.
int RowImage(const MarshalNode* k) {
    std::uint8_t type = k->type;
    if (type == '@' && k->data.target) type = k->data.target->type;
    if (IsContainerType(type)) return kImageContainer;
    if (type == 'f' || type == 'i' || type == 'l' || type == 'u') return kImageNumber;
    return kImageValue;
}

void InsertChildRow(int row, const MarshalNode* n, std::int64_t i, const MarshalNode* k) {
    LabelBuffer buf;
    Text label = ChildLabel(n, i, buf);
    bool link = k->type == '@' || k->type == ';';
    ListInsertRow(row, label.text, RowImage(k), link ? kLinkOverlay : 0, k);
    FreeText(label);
    ListSetCell(row, 1, TypeName(k->type));
    if (k->type == '@') {
        const MarshalNode* target = k->data.target;
        char16_t* path = BuildAccessPath(FindHoldingItem(target), target, 0);
        if (path) ListSetCell(row, 2, path);
        std::free(path);
        return;
    }
    Text value = ValueText(k, buf);
    if (value.text) ListSetCell(row, 2, value.text);
    FreeText(value);
}
}  // namespace

void InsertListColumns() {
    ListInsertColumn(0, u"名称", 300);
    ListInsertColumn(1, u"类型", 100);
    ListInsertColumn(2, u"值", 200);
}

// "..", then the containers, then every other child, each in position order.
void FillListPane(const MarshalNode* node) {
    if (!node || !IsContainerType(node->type)) return;
    ListDeleteAllRows();
    int row = 0;
    if (node != &DocumentRoot) ListInsertRow(row++, u"..", kImageContainer, 0, nullptr);
    std::int64_t count = ChildCount(node);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::int64_t i = 0; i < count; ++i) {
            const MarshalNode* k = ChildAt(node, i);
            if (IsContainerType(k->type) != (pass == 0)) continue;
            InsertChildRow(row++, node, i, k);
        }
    }
}
