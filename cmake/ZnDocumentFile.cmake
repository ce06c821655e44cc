# Document files: compound files whose root storage names a class, written at build time by
# tools/document_file. The tool runs on the build machine, so it is built as a project of its
# own with the build machine's compiler, also in cross builds (and without the sanitizers).
include(ExternalProject)

set(ZN_DOCUMENT_FILE_TOOL ${CMAKE_BINARY_DIR}/tools/document_file/write_document_file)
ExternalProject_Add(zn_document_file_tool
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/document_file
  BINARY_DIR ${CMAKE_BINARY_DIR}/tools/document_file
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS TRUE
  BUILD_BYPRODUCTS ${ZN_DOCUMENT_FILE_TOOL})

# The page's class id from its one home, page/page_class.h.
file(STRINGS ${CMAKE_SOURCE_DIR}/page/page_class.h zn_page_class_line REGEX "kPageClassId\\[\\] = ")
string(REGEX MATCH "{[0-9A-Fa-f-]+}" ZN_PAGE_CLASS_ID "${zn_page_class_line}")
if(NOT ZN_PAGE_CLASS_ID)
  message(FATAL_ERROR "page/page_class.h: no class id on the kPageClassId line")
endif()

# The document file's name from its one home, the module's identity table.
file(STRINGS ${CMAKE_SOURCE_DIR}/plugin/module_identity.cpp zn_document_file_line REGEX "\\.document_file = ")
string(REGEX MATCH "[A-Za-z0-9_]+\\.vbd" ZN_DOCUMENT_FILE_NAME "${zn_document_file_line}")
if(NOT ZN_DOCUMENT_FILE_NAME)
  message(FATAL_ERROR "plugin/module_identity.cpp: no name on the .document_file line")
endif()

# zn_document_file(TARGET name OUTPUT path CLASS_ID {...}): a target that writes the file.
function(zn_document_file)
  cmake_parse_arguments(arg "" "TARGET;OUTPUT;CLASS_ID" "" ${ARGN})
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${ZN_DOCUMENT_FILE_TOOL} ${arg_OUTPUT} ${arg_CLASS_ID}
    DEPENDS zn_document_file_tool ${ZN_DOCUMENT_FILE_TOOL}
    COMMENT "Writing ${arg_OUTPUT}"
    VERBATIM)
  add_custom_target(${arg_TARGET} DEPENDS ${arg_OUTPUT})
endfunction()
