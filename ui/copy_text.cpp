#include "ui/copy_text.h"

namespace {
void AppendEscaped(std::u16string& out, std::u16string_view cell) {
    for (char16_t c : cell) {
        switch (c) {
        case u'\t': out += u"\\t"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\\': out += u"\\\\"; break;
        default: out += c;
        }
    }
}
}  // namespace

std::u16string RowsAsText(const ListStore& list, const std::vector<int>& rows) {
    std::u16string text;
    for (int row : rows) {
        if (!list.Valid(row)) continue;
        for (int column = 0; column < ListStore::kColumns; ++column) {
            if (column) text += u'\t';
            AppendEscaped(text, list.Cell(row, column));
        }
        text += u'\n';
    }
    return text;
}

std::u16string CellText(const ListStore& list, int row, int column) {
    if (!list.Valid(row) || column < 0 || column >= ListStore::kColumns) return {};
    return std::u16string(list.Cell(row, column));
}
