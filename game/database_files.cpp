#include "game/database_files.h"

bool SameFileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

const DatabaseFile* DatabaseFileNamed(std::string_view fileName) {
    for (const DatabaseFile& file : kDatabaseFiles)
        if (SameFileName(fileName, file.name)) return &file;
    return nullptr;
}
