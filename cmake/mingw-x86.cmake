# Cross build for 32-bit Windows with MinGW-w64. Its programs cannot run on this machine (no
# 32-bit support in the kernel, and 32-bit Wine must not be installed), so no emulator is set
# and the build only compiles and links.
set(ZN_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# widl only reads the imported library's identities from stdole2.tlb, so the 64-bit copy (the only
# one installed) serves the 32-bit build too.
set(ZN_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Where widl finds stdole2.tlb")
