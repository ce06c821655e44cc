# Running the Windows test programs under Wine: one prefix per build tree, created by a setup
# fixture and served by one persistent wineserver until the cleanup fixture stops it. Programs
# that are targets run under wine by themselves (the toolchain's emulator); Windows tools such as
# regsvr32 need an explicit wine.
# Kept in the cache so that test folders outside tests/ (fuzz/) see them too.
set(ZN_WINE_FIXTURE "" CACHE INTERNAL "")

# Puts tests into the prefix: they need the fixture and its environment. Does nothing where
# tests run natively.
function(zn_wine_tests)
  if(NOT ZN_WINE_FIXTURE OR NOT ARGN)
    return()
  endif()
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED ${ZN_WINE_FIXTURE})
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT ${ZN_WINE_ENVIRONMENT})
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS wine)
endfunction()

if(NOT (WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR))
  return()
endif()

find_program(ZN_WINESERVER wineserver REQUIRED)
find_program(ZN_WINEBOOT wineboot REQUIRED)
set(ZN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(ZN_WINE_ENVIRONMENT
  WINEPREFIX=${ZN_WINEPREFIX}
  WINEDEBUG=-all
  ZN_WINE=${CMAKE_CROSSCOMPILING_EMULATOR}
  ZN_WINESERVER=${ZN_WINESERVER}
  ZN_WINEBOOT=${ZN_WINEBOOT}
  CACHE INTERNAL "")
set(ZN_WINE_FIXTURE wine_prefix CACHE INTERNAL "")

add_test(NAME wine.prefix.start COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh start)
add_test(NAME wine.prefix.stop COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh stop)
set_tests_properties(wine.prefix.start PROPERTIES FIXTURES_SETUP ${ZN_WINE_FIXTURE} TIMEOUT 300
  ENVIRONMENT "${ZN_WINE_ENVIRONMENT}")
set_tests_properties(wine.prefix.stop PROPERTIES FIXTURES_CLEANUP ${ZN_WINE_FIXTURE} TIMEOUT 120
  ENVIRONMENT "${ZN_WINE_ENVIRONMENT}")
