# Cross toolchain: 32-bit Windows binaries from Debian's mingw-w64, run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The posix thread model: std::thread and std::mutex (GoogleTest needs them); linked statically.
set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and tools built here run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
set(CMAKE_DLLTOOL i686-w64-mingw32-dlltool)

# Floating point in SSE2 registers rather than on the x87 stack: single-precision results are then
# the same as the 64-bit build's (no excess precision that depends on register allocation), and
# float-to-integer truncation no longer switches the x87 control word on every conversion.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
