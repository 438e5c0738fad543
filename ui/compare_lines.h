// What the results list below the panes says during a comparison: the
// files two folders differ in first, then every difference of the file
// compared, each line its reading ("事件 0003 [村长] 第 1 页 第 5 行：+ …").
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "compare/folder_pairs.h"
#include "ui/compare_controller.h"
#include "ui/folder_results.h"

// "Map001.rxdata　已更改", "Map004.rxdata　已删除", "Map005.rxdata　新增".
std::u16string FilePairLine(const FilePair& pair);

// The file lines, then one line for each difference of `file`.
std::vector<FolderResult> CompareLines(const std::vector<FilePair>& files,
                                       const std::vector<StoredDifference>& differences,
                                       const std::filesystem::path& file);

// The list's heading: the title names what is compared, the status how
// much differs ("3 个文件不同，共 27 处差异").
std::u16string CompareLinesTitle(const std::u16string& oldName, bool folders);
std::u16string CompareLinesStatus(std::size_t files, bool folders, const std::vector<StoredDifference>* differences);
