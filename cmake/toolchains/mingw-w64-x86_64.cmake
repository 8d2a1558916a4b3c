# Cross-build for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads
# variant, so that std::thread and std::mutex work) and run the results under
# wine: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MVR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MVR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MVR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MVR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MVR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest and gtest_discover_tests start the test programs through wine.
find_program(MVR_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MVR_WINE})

# The C++ runtime, libgcc and winpthreads linked in: the programs run from
# any folder without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
