#include "lens/table_reading.h"

#include <algorithm>
#include <cstdint>

#include "lens/number_text.h"

namespace {
std::int32_t Int32At(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}

void Problem(std::u16string& problem, const char16_t* what) { problem = u"表格数据头有误："; problem += what; }
}  // namespace

bool ReadTableGrid(std::string_view bytes, TableGrid& grid, std::u16string& problem) {
    constexpr std::size_t kHeader = 20;
    if (bytes.size() < kHeader) {
        Problem(problem, u"不足 20 字节，实有 ");
        AppendInt(problem, static_cast<std::int64_t>(bytes.size()));
        problem += u" 字节";
        return false;
    }
    const std::int32_t dims = Int32At(bytes, 0), x = Int32At(bytes, 4), y = Int32At(bytes, 8), z = Int32At(bytes, 12),
                       count = Int32At(bytes, 16);
    if (dims < 1 || dims > 3) {
        Problem(problem, u"维数为 ");
        AppendInt(problem, dims);
        problem += u"，应为 1 到 3";
        return false;
    }
    if (x < 0 || y < 0 || z < 0 || count < 0) {
        Problem(problem, u"大小或数量为负数");
        return false;
    }
    // Three sizes below 2^31 can multiply past 2^63.
    const bool overflow = y != 0 && z != 0 && std::int64_t{x} > INT64_MAX / y / z;
    const std::int64_t product = overflow ? -1 : std::int64_t{x} * y * z;
    if (product != count) {
        Problem(problem, u"");
        AppendInt(problem, x);
        problem += u" × ";
        AppendInt(problem, y);
        problem += u" × ";
        AppendInt(problem, z);
        problem += u" 与记录的数量 ";
        AppendInt(problem, count);
        problem += u" 不符";
        return false;
    }
    if ((dims < 3 && z != 1) || (dims < 2 && y != 1)) {
        Problem(problem, u"");
        AppendInt(problem, dims);
        problem += u" 维表格的 ";
        problem += dims < 2 && y != 1 ? u"y" : u"z";
        problem += u" 大小应为 1";
        return false;
    }
    const std::uint64_t expected = kHeader + 2 * static_cast<std::uint64_t>(count);
    if (bytes.size() != expected) {
        Problem(problem, u"应有 ");
        AppendInt(problem, static_cast<std::int64_t>(expected));
        problem += u" 字节，实有 ";
        AppendInt(problem, static_cast<std::int64_t>(bytes.size()));
        problem += u" 字节";
        return false;
    }
    grid = {dims, x, y, z, bytes.substr(kHeader)};
    return true;
}

std::u16string TableSummary(const TableGrid& grid) {
    std::u16string s = u"表格：";
    AppendInt(s, grid.dimensions);
    s += u" 维，";
    AppendInt(s, grid.x);
    s += u" × ";
    AppendInt(s, grid.y);
    s += u" × ";
    AppendInt(s, grid.z);
    return s;
}

void AppendTableLayerLines(const TableGrid& grid, std::int64_t k, std::vector<std::u16string>& lines) {
    std::size_t width = 1;
    std::u16string number;
    for (std::int64_t j = 0; j < grid.y; ++j)
        for (std::int64_t i = 0; i < grid.x; ++i) {
            number.clear();
            AppendInt(number, grid.At(i, j, k));
            width = std::max(width, number.size());
        }
    for (std::int64_t j = 0; j < grid.y; ++j) {
        std::u16string line;
        for (std::int64_t i = 0; i < grid.x; ++i) {
            number.clear();
            AppendInt(number, grid.At(i, j, k));
            if (i) line += u' ';
            line.append(width - number.size(), u' ');
            line += number;
        }
        lines.push_back(std::move(line));
    }
}
