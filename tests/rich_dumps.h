// Test vectors shared by the loader's suites.
#pragma once

// One-dump vectors that touch every reader.  Ruby wrote the first two:
//   [hero, hero, Point.new(nil, true)]   hero: @hp, @name, @pos = Point(1, -300)
//   [UStr "u", "e" with E, "ivar" with @meta, an object extended by M1 and M2,
//    Hash.new(:dflt) with :k => 2**70, a _dump and a marshal_dump object,
//    /a.c/mx, 1.5, -2**40, String, Kernel, :k]
inline constexpr const char* kRichDumps[] = {
    "04 08 5b 08 6f 3a 09 48 65 72 6f 08 3a 08 40 68 70 69 0f 3a 0a 40 6e 61 6d 65 22 07 41 6c 3a 09 40 70 6f 73 "
    "53 3a 0a 50 6f 69 6e 74 07 3a 06 78 69 06 3a 06 79 69 fe d4 fe 40 06 53 3b 09 07 3b 0a 30 3b 0b 54",
    "04 08 5b 12 43 3a 09 55 53 74 72 22 06 75 49 22 06 65 06 3a 06 45 54 49 22 09 69 76 61 72 06 3a 0a 40 6d 65 "
    "74 61 3a 06 6b 65 3a 07 4d 32 65 3a 07 4d 31 6f 3a 0b 4f 62 6a 65 63 74 00 7d 06 3b 08 6c 2b 0a 00 00 00 00 "
    "00 00 00 00 40 00 3a 09 64 66 6c 74 75 3a 07 55 44 07 61 62 55 3a 07 55 4d 5b 06 69 06 49 2f 08 61 2e 63 06 "
    "06 3b 06 46 66 08 31 2e 35 6c 2d 08 00 00 00 00 00 01 63 0b 53 74 72 69 6e 67 6d 0b 4b 65 72 6e 65 6c 3b 08",
    // Wrappers, links to them, a hash default, 'e' with a module link, a 'C' inside an 'I'.
    "04 08 5b 0e 49 43 3a 06 55 22 06 61 06 3a 06 45 54 40 06 49 3a 06 73 06 3b 06 46 3b 07 "
    "65 3b 07 7b 06 69 06 5b 06 40 08 7d 00 40 00 2f 00 07 66 0b 31 2e 35 00 33 33 40 0a",
};
