// `Color` and `Tone` user dumps: four little-endian doubles each (red,
// green, blue, then alpha or gray).
#pragma once
#include <string>
#include <string_view>

struct Rgba {
    int red, green, blue, alpha;  // 0..255
};

// Reads the four components; false (with `problem` saying why) when the
// bytes are not 32.
bool ReadFourDoubles(std::string_view bytes, double components[4], std::u16string& problem);
// "Color(255.0, 128.0, 0.0, 255.0)" with the class name given.
std::u16string FourDoublesText(const char16_t* className, const double components[4]);

// What a swatch shows.  A colour: its components clamped to 0..255.  A tone
// changes a picture rather than being a colour, so its swatch is mid-grey
// with the tone applied: each channel shifted, then moved towards its
// grey level by gray/255.
Rgba ColorSwatch(const double components[4]);
Rgba ToneSwatch(const double components[4]);
