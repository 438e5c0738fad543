#include "ui/compare_lines.h"

#include "game/game_folder.h"
#include "ui/find_controller.h"
#include "present/text.h"

namespace fs = std::filesystem;

namespace {
std::u16string Count(std::size_t n) { return GroupedDecimal(static_cast<long long>(n)); }
}  // namespace

std::u16string FilePairLine(const FilePair& pair) {
    const std::string name = PathToUtf8((pair.after.empty() ? pair.before : pair.after).filename());
    std::u16string line = Utf8ToU16(name.c_str(), name.size());
    line += pair.before.empty() ? u"　新增" : pair.after.empty() ? u"　已删除" : u"　已更改";
    return line;
}

std::vector<FolderResult> CompareLines(const std::vector<FilePair>& files,
                                       const std::vector<StoredDifference>& differences, const fs::path& file) {
    std::vector<FolderResult> lines;
    lines.reserve(files.size() + differences.size());
    for (const FilePair& pair : files) {
        FolderResult r;
        r.file = pair.after.empty() ? pair.before : pair.after;
        r.text = FilePairLine(pair);
        lines.push_back(std::move(r));
    }
    for (const StoredDifference& d : differences) {
        FolderResult r;
        r.file = file;
        r.path = d.path;
        r.text = d.reading;
        lines.push_back(std::move(r));
    }
    return lines;
}

std::u16string CompareLinesTitle(const std::u16string& oldName, bool folders) {
    return (folders ? u"比较文件夹（旧: " : u"比较（旧: ") + oldName + u"）";
}

std::u16string CompareLinesStatus(std::size_t files, bool folders, const std::vector<StoredDifference>* differences) {
    std::u16string status;
    if (folders) status = files ? Count(files) + u" 个文件不同" : u"文件都相同";
    if (differences) {
        if (!status.empty()) status += u"，";
        status += differences->empty() ? u"无差异" : u"共 " + Count(differences->size()) + u" 处差异";
    }
    return status;
}
