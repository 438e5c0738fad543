#include "app/dump_lens.h"

#include "lens/reading.h"

void ForEachLensLine(const MarshalNode* row, const std::function<void(std::u16string_view)>& line) {
    if (!row || row->type == '@' || row->type == ';' || row->type == 'I' || row->type == 'C') return;
    const Reading reading = ReadNode(row);
    if (!reading.telling) return;
    for (const std::u16string& text : ReadingTextLines(reading)) line(text);
}
