# Cross-build for 64-bit Windows with MinGW-w64 (x86_64).
set(KESTROVA_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
