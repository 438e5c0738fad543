#include "app/dump_lens.h"

#include "lens/reading.h"

void ForEachLensLine(const MarshalNode* row, const std::function<void(std::u16string_view)>& line,
                     const GameNames* names) {
    if (!row || row->type == '@' || row->type == ';' || row->type == 'I' || row->type == 'C') return;
    if (!ReadingTells(row)) return;
    for (const std::u16string& text : ReadingTextLines(ReadNode(row, names))) line(text);
}
