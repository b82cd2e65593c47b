# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers, the posix-thread
# flavour that std::thread and Qt's threads need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# Each function and datum in a section of its own, so that the linker drops every one that
# the program never reaches; Qt is built so too, which is where nearly all of it lies.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# The compiler's own runtime (libgcc, libstdc++, winpthread) goes into the program, so
# that it needs no DLL that Windows does not have.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
