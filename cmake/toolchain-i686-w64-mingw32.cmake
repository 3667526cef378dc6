# Cross build for 32-bit Windows. Nothing here can run 32-bit code, so this target is
# only configured and compiled where the i686 compiler is installed.
set(QUILL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
