# Cross build for Windows on 32-bit x86 (PE32 i686) with Debian's mingw-w64
# (g++-mingw-w64-i686-posix). One image for every Windows: 32-bit Windows,
# 64-bit Windows through WoW64, Windows on ARM through its x86 emulation.
#
# The posix thread model, so that std::thread and std::mutex exist; its
# winpthread is linked statically like libgcc and libstdc++: every program
# imports Windows system DLLs only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
