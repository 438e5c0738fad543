# Cross-building the Windows programs on Debian with mingw-w64 (the posix
# thread model, for std::thread).  Everything is linked statically, so the
# programs need nothing installed beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUARNIX_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QUARNIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARNIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARNIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARNIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread inside the executables.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests and tools run the programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
