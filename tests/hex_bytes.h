// Byte vectors written the way the tests' tables read best:
// "04 08 3a 08 'abc'" is hex bytes, and quoted ASCII runs without spaces.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (text[i] == '\'') {
            std::size_t close = text.find('\'', i + 1);
            out.insert(out.end(), text.begin() + static_cast<long>(i) + 1, text.begin() + static_cast<long>(close));
            i = close + 1;
        } else {
            out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}
