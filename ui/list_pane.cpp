// The list pane: the children of the container selected in the tree pane.
#include <new>

#include "marshal/load.h"
#include "present/labels.h"
#include "present/link_text.h"
#include "present/value_text.h"
#include "present/viewer_document.h"
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
}  // namespace

std::u16string ChildRowCell(const MarshalNode* container, std::int64_t index, int column) {
    const MarshalNode* k = ChildAt(container, index);
    LabelBuffer buf;
    Text text = NoText();
    if (column == 0) {
        text = ChildLabel(container, index, buf);
    } else if (column == 1) {
        return TypeName(k->type);
    } else if (column == 2 && k->type == '@') {
        std::u16string cell;
        try {
            AppendLinkText(cell, k->data.target, nullptr);
        } catch (const std::bad_alloc&) {
            cell.clear();  // empty, like any text that could not be made
        }
        return cell;
    } else if (column == 2) {
        text = ValueText(k, buf);
    }
    std::u16string cell;
    try {
        if (text.text) cell = text.text;
    } catch (const std::bad_alloc&) {
        // Too big for the memory left: empty, like a text that could not be made.
    }
    FreeText(text);
    return cell;
}

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
            bool link = k->type == '@' || k->type == ';';
            ListInsertChildRow(row++, node, i, RowImage(k), link ? kLinkOverlay : 0, k);
        }
    }
}
