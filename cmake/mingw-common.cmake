# Shared part of the MinGW-w64 cross toolchains; the including file sets ZN_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The posix thread model: the default (win32) one has no std::mutex or std::thread, which the
# test framework needs. Its thread library is linked statically (-static in the top-level
# CMakeLists), so the binaries still import only system DLLs.
set(CMAKE_C_COMPILER ${ZN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZN_MINGW_TRIPLET}-windres)
set(ZN_WIDL ${ZN_MINGW_TRIPLET}-widl CACHE FILEPATH "The IDL compiler for type libraries")

# Headers and libraries come from the MinGW sysroot only; build tools come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The system IDL files (oaidl.idl, ocidl.idl...) that widl imports, and stdole2.tlb for importlib.
set(ZN_WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "System IDL files")
