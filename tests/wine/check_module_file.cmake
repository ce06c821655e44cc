# Checks a built Windows module with objdump: it imports only system DLLs (the C++ runtime is
# linked in); a DLL exports exactly the four in-process server entry points, by name, and a
# program exactly its UI backend lookup.
#   cmake -DOBJDUMP=<objdump> -DMODULE=<file.dll> -P check_module_file.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT OBJDUMP OR NOT MODULE)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=... -DMODULE=... -P check_module_file.cmake")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

# What Windows itself provides; anything else would have to be shipped beside the module.
set(system_dlls
  advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  oleacc.dll shell32.dll shlwapi.dll user32.dll version.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "${MODULE}: no import table found")
endif()
set(foreign "")
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
    list(APPEND foreign ${dll})
  endif()
  message(STATUS "imports ${dll}")
endforeach()
if(foreign)
  message(FATAL_ERROR "${MODULE} imports non-system DLLs: ${foreign}")
endif()

# The export table lists "[Ordinal/Name Pointer] Table" rows as "[  n] Name".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]*\\[[ 0-9]+\\][^\n]*\n)*)" table "${dump}")
# Brackets would split CMake lists oddly: drop the "[  n]" column before taking the names.
string(REGEX REPLACE "\\[[ 0-9]+\\]" "" rows "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[A-Za-z_0-9@]+" exports "${rows}")
list(SORT exports)
if(MODULE MATCHES "\\.dll$")
  set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
else()
  # A program exports the lookup through which the modules it loads use its UI backend.
  set(expected zn_ui_installed_backend)
endif()
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${MODULE} exports [${exports}], expected [${expected}]")
endif()
message(STATUS "exports ${exports}")
