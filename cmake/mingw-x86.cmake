# Cross build for 32-bit Windows with MinGW-w64. This machine's kernel runs no 32-bit programs and
# 32-bit Wine must not be installed into the system, so the programs run under the emulated 32-bit
# Wine of scripts/wine-x86.sh: its wrappers are the emulator and the fixture's tools, and the tests
# run inside `scripts/wine-x86.sh run ctest --preset win-x86`.
set(ZN_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# widl only reads the imported library's identities from stdole2.tlb, so the 64-bit copy (the only
# one installed) serves the 32-bit build too.
set(ZN_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Where widl finds stdole2.tlb")

get_filename_component(zn_x86_tools ${CMAKE_CURRENT_LIST_DIR}/../scripts/x86 ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${zn_x86_tools}/wine)
set(ZN_WINESERVER ${zn_x86_tools}/wineserver CACHE FILEPATH "wineserver of the 32-bit Wine tree")
set(ZN_WINEBOOT ${zn_x86_tools}/wineboot CACHE FILEPATH "wineboot of the 32-bit Wine tree")
