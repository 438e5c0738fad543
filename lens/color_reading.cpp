#include "lens/color_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "lens/number_text.h"

bool ReadFourDoubles(std::string_view bytes, double components[4], std::u16string& problem) {
    if (bytes.size() != 32) {
        problem = u"数据应为 32 字节（四个浮点数），实有 ";
        AppendInt(problem, static_cast<std::int64_t>(bytes.size()));
        problem += u" 字节";
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        std::uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = (bits << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(8 * i + b)]);
        std::memcpy(&components[i], &bits, sizeof bits);
    }
    return true;
}

std::u16string FourDoublesText(const char16_t* className, const double components[4]) {
    std::u16string s = className;
    s += u'(';
    for (int i = 0; i < 4; ++i) {
        if (i) s += u", ";
        AppendRubyFloat(s, components[i]);
    }
    s += u')';
    return s;
}

namespace {
int Channel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}
}  // namespace

Rgba ColorSwatch(const double c[4]) { return {Channel(c[0]), Channel(c[1]), Channel(c[2]), Channel(c[3])}; }

Rgba ToneSwatch(const double c[4]) {
    double rgb[3];
    for (int i = 0; i < 3; ++i) rgb[i] = std::clamp(128.0 + (std::isnan(c[i]) ? 0.0 : c[i]), 0.0, 255.0);
    const double grey = (rgb[0] * 299 + rgb[1] * 587 + rgb[2] * 114) / 1000;
    const double gray = std::isnan(c[3]) ? 0.0 : std::clamp(c[3], 0.0, 255.0) / 255.0;
    return {Channel(rgb[0] + (grey - rgb[0]) * gray), Channel(rgb[1] + (grey - rgb[1]) * gray),
            Channel(rgb[2] + (grey - rgb[2]) * gray), 255};
}
