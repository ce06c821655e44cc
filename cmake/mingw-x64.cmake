# Cross build for 64-bit Windows with MinGW-w64; programs run under Wine on this machine.
set(ZN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(ZN_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Where widl finds stdole2.tlb")
# The tests run under Wine: without it the suite would register almost nothing and still pass.
find_program(ZN_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZN_WINE})
