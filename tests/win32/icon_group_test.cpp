// The application icon group as quarnix.exe carries it: read from the
// program's own resources, each image's header from its bitmap.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/win32/driver.h"

namespace {
#pragma pack(push, 2)
struct GroupEntry {  // an entry of an RT_GROUP_ICON resource
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconGroupHoldsThirteenBitmapsAtTheirSizesAndDepths) {
    HMODULE exe = LoadLibraryExW(Wide(QUARNIX_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe);
    HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(101), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const auto* header = static_cast<const WORD*>(LockResource(LoadResource(exe, group)));
    ASSERT_EQ(header[1], 1);  // icons
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 3);

    std::multiset<std::pair<int, int>> seen;  // size, bits per pixel
    for (int i = 0; i < header[2]; ++i) {
        const GroupEntry& entry = entries[i];
        SCOPED_TRACE(i);
        HRSRC image = FindResourceW(exe, MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_TRUE(image);
        const auto* bitmap = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(exe, image)));
        // A bitmap starts with its header's size; a PNG with 0x89 'P' 'N' 'G'.
        ASSERT_EQ(bitmap->biSize, sizeof(BITMAPINFOHEADER));
        int size = entry.width ? entry.width : 256;
        EXPECT_EQ(bitmap->biWidth, size);
        EXPECT_EQ(bitmap->biHeight, 2 * size);  // the colours and the mask
        EXPECT_EQ(bitmap->biBitCount, entry.bits);
        seen.insert({size, entry.bits});
    }
    const std::multiset<std::pair<int, int>> expected = {
        {48, 1}, {32, 1},  {16, 1},  {48, 4},  {32, 4},  {16, 4}, {48, 8},
        {32, 8}, {16, 8}, {128, 32}, {48, 32}, {32, 32}, {16, 32},
    };
    EXPECT_EQ(seen, expected);
    FreeLibrary(exe);
}
}  // namespace
