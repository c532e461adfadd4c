# Cross-compiles for 64-bit Windows with MinGW-w64 (posix threads) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VEXLO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VEXLO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXLO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VEXLO_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEXLO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator runs each program in the build folder's Wine world, which CTest starts itself.
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --build ${CMAKE_BINARY_DIR})
