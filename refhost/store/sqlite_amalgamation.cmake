# SQLite's amalgamation (sqlite3.c, sqlite3.h) for builds without a packaged SQLite. Taken at
# configure time from the npm registry's better-sqlite3 package, which ships the official
# amalgamation under deps/sqlite3, and unpacked into the build tree; nothing is committed.
set(ZN_SQLITE_NPM_PACKAGE "better-sqlite3@12.11.1" CACHE STRING
    "The npm package (name@version) whose deps/sqlite3 holds SQLite's amalgamation")
set(ZN_SQLITE_AMALGAMATION_DIR "" CACHE PATH
    "A folder that holds sqlite3.c and sqlite3.h already (no download); empty: fetch from npm")

# Sets out_var to a folder holding sqlite3.c and sqlite3.h.
function(zn_sqlite_amalgamation out_var)
  if(ZN_SQLITE_AMALGAMATION_DIR)
    if(NOT EXISTS ${ZN_SQLITE_AMALGAMATION_DIR}/sqlite3.c OR NOT EXISTS ${ZN_SQLITE_AMALGAMATION_DIR}/sqlite3.h)
      message(FATAL_ERROR "ZN_SQLITE_AMALGAMATION_DIR (${ZN_SQLITE_AMALGAMATION_DIR}) lacks sqlite3.c or sqlite3.h")
    endif()
    set(${out_var} ${ZN_SQLITE_AMALGAMATION_DIR} PARENT_SCOPE)
    return()
  endif()

  set(dir ${CMAKE_BINARY_DIR}/_deps/sqlite-amalgamation)
  set(stamp ${dir}/package.txt)
  if(EXISTS ${dir}/sqlite3.c AND EXISTS ${dir}/sqlite3.h AND EXISTS ${stamp})
    file(READ ${stamp} fetched)
    if(fetched STREQUAL ZN_SQLITE_NPM_PACKAGE)
      set(${out_var} ${dir} PARENT_SCOPE)
      return()
    endif()
  endif()

  find_program(ZN_NPM npm)
  if(NOT ZN_NPM)
    message(FATAL_ERROR "npm is needed to fetch SQLite's amalgamation (${ZN_SQLITE_NPM_PACKAGE}); "
                        "or set ZN_SQLITE_AMALGAMATION_DIR to a folder holding sqlite3.c and sqlite3.h")
  endif()
  set(work ${CMAKE_BINARY_DIR}/_deps/sqlite-npm)
  file(REMOVE_RECURSE ${work})
  file(MAKE_DIRECTORY ${work})
  message(STATUS "Fetching SQLite's amalgamation from npm: ${ZN_SQLITE_NPM_PACKAGE}")
  execute_process(COMMAND ${ZN_NPM} pack ${ZN_SQLITE_NPM_PACKAGE} --silent
                  WORKING_DIRECTORY ${work} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  file(GLOB tarball ${work}/*.tgz)
  if(NOT rc EQUAL 0 OR NOT tarball)
    message(FATAL_ERROR "npm pack ${ZN_SQLITE_NPM_PACKAGE} failed (${rc}): ${err}")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${work}/tree)

  # The sources lie in deps/sqlite3; some releases carry them as an archive inside deps.
  set(src ${work}/tree/package/deps/sqlite3)
  if(NOT EXISTS ${src}/sqlite3.c)
    file(GLOB inner ${work}/tree/package/deps/*.tar.gz ${work}/tree/package/deps/*.tgz)
    foreach(archive IN LISTS inner)
      file(ARCHIVE_EXTRACT INPUT ${archive} DESTINATION ${work}/inner)
    endforeach()
    file(GLOB_RECURSE found ${work}/inner/sqlite3.c)
    if(found)
      list(GET found 0 found)
      get_filename_component(src ${found} DIRECTORY)
    endif()
  endif()
  if(NOT EXISTS ${src}/sqlite3.c OR NOT EXISTS ${src}/sqlite3.h)
    message(FATAL_ERROR "${ZN_SQLITE_NPM_PACKAGE} holds no sqlite3.c/sqlite3.h under deps")
  endif()

  file(MAKE_DIRECTORY ${dir})
  file(COPY ${src}/sqlite3.c ${src}/sqlite3.h DESTINATION ${dir})
  file(WRITE ${stamp} ${ZN_SQLITE_NPM_PACKAGE})
  file(REMOVE_RECURSE ${work})
  set(${out_var} ${dir} PARENT_SCOPE)
endfunction()
