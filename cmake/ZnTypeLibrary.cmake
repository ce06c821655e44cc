# Type libraries for the Windows builds, compiled from IDL with widl.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(NOT ZN_WIDL)
  set(ZN_WIDL widl)
endif()
if(NOT ZN_WINE_IDL_DIR)
  set(ZN_WINE_IDL_DIR /usr/include/wine/wine/windows)
endif()
if(NOT ZN_WINE_TLB_DIR)
  set(ZN_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZN_WIDL_ARCH --win64)
else()
  set(ZN_WIDL_ARCH --win32)
endif()

set(ZN_TLB_IMPORT_FIXUP ${CMAKE_CURRENT_LIST_DIR}/tlb_import_fixup.py)

# zn_type_library(<target> IDL <file.idl> OUTPUT <file.tlb>
#                 [INCLUDE_DIRS <dir>...] [IMPORTS <other.tlb>...] [DEPENDS <file or target>...])
#
# Builds OUTPUT from IDL and adds <target>, which other targets depend on. IMPORTS are the
# libraries the IDL names in importlib() besides stdole2.tlb: widl finds them in their folders,
# and interfaces of theirs that a coclass lists become references to them (see
# tlb_import_fixup.py) instead of private copies.
function(zn_type_library target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "IDL;OUTPUT" "INCLUDE_DIRS;IMPORTS;DEPENDS")
  if(NOT ARG_IDL OR NOT ARG_OUTPUT)
    message(FATAL_ERROR "zn_type_library(${target}): IDL and OUTPUT are required")
  endif()
  get_filename_component(idl ${ARG_IDL} ABSOLUTE)
  get_filename_component(idl_dir ${idl} DIRECTORY)

  set(widl_args ${ZN_WIDL_ARCH} -I${ZN_WINE_IDL_DIR} -I${idl_dir} -L${ZN_WINE_TLB_DIR})
  foreach(dir IN LISTS ARG_INCLUDE_DIRS)
    list(APPEND widl_args -I${dir})
  endforeach()
  foreach(imported IN LISTS ARG_IMPORTS)
    get_filename_component(imported_dir ${imported} DIRECTORY)
    list(APPEND widl_args -L${imported_dir})
  endforeach()

  # widl stamps the build time into the library; a fixed stamp keeps builds reproducible.
  set(widl_command ${CMAKE_COMMAND} -E env WIDL_TIME_OVERRIDE=0 ${ZN_WIDL} ${widl_args})
  if(NOT ARG_IMPORTS)
    set(commands COMMAND ${widl_command} -t -o ${ARG_OUTPUT} ${idl})
  else()
    get_filename_component(name ${ARG_OUTPUT} NAME_WE)
    set(stage ${CMAKE_CURRENT_BINARY_DIR}/${name}.widl.tlb)
    set(commands COMMAND ${widl_command} -t -o ${stage} ${idl})
    set(n 0)
    foreach(imported IN LISTS ARG_IMPORTS)
      get_filename_component(imported_name ${imported} NAME)
      math(EXPR n "${n} + 1")
      set(next ${CMAKE_CURRENT_BINARY_DIR}/${name}.import${n}.tlb)
      list(APPEND commands COMMAND ${Python3_EXECUTABLE} ${ZN_TLB_IMPORT_FIXUP} ${stage} ${next} ${imported}
           ${imported_name})
      set(stage ${next})
    endforeach()
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy ${stage} ${ARG_OUTPUT})
  endif()

  add_custom_command(OUTPUT ${ARG_OUTPUT}
    ${commands}
    DEPENDS ${idl} ${ARG_IMPORTS} ${ARG_DEPENDS} ${ZN_TLB_IMPORT_FIXUP}
    COMMENT "Compiling type library ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${ARG_OUTPUT})
endfunction()

# zn_embed_type_library(<binary target> RC <file.rc> TLB <file.tlb> TLB_TARGET <target>
#                       [INCLUDE_DIRS <folder>...])
#
# Compiles RC, which names the type library by its bare file name, into the binary; the files RC
# includes are looked for in INCLUDE_DIRS first, then beside the type library.
function(zn_embed_type_library binary)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "RC;TLB;TLB_TARGET" "INCLUDE_DIRS")
  get_filename_component(rc ${ARG_RC} ABSOLUTE)
  get_filename_component(tlb_dir ${ARG_TLB} DIRECTORY)
  target_sources(${binary} PRIVATE ${rc})
  set_source_files_properties(${rc} TARGET_DIRECTORY ${binary} PROPERTIES
    OBJECT_DEPENDS ${ARG_TLB}
    INCLUDE_DIRECTORIES "${ARG_INCLUDE_DIRS};${tlb_dir}")
  add_dependencies(${binary} ${ARG_TLB_TARGET})
endfunction()
