// A `Table` user dump: RGSS's grid of int16 values (a map's tiles, an
// actor's parameters).  Its bytes are five little-endian int32 (dimensions,
// x, y and z sizes, value count) and then the values.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TableGrid {
    std::int32_t dimensions = 0;
    std::int64_t x = 0, y = 0, z = 0;
    std::string_view cells;  // 2*x*y*z bytes, little-endian int16, x fastest

    std::int16_t At(std::int64_t i, std::int64_t j, std::int64_t k) const {
        const std::size_t at = static_cast<std::size_t>(2 * (i + x * (j + y * k)));
        return static_cast<std::int16_t>(static_cast<unsigned char>(cells[at]) |
                                         (static_cast<unsigned char>(cells[at + 1]) << 8));
    }
};

// Reads the header against the byte count.  On success fills `grid`; on
// failure `problem` says in one line what is wrong.
bool ReadTableGrid(std::string_view bytes, TableGrid& grid, std::u16string& problem);

// "表格：3 维，20 × 15 × 3"
std::u16string TableSummary(const TableGrid& grid);
// Layer k as text: one line per y, the values of each row separated by
// spaces and right-aligned to the widest value of the layer.
void AppendTableLayerLines(const TableGrid& grid, std::int64_t k, std::vector<std::u16string>& lines);
