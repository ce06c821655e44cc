# zn_installer_package(<target> OUTPUT <file.msi> STAGE <folder> VERSION <a.b.c> MODULE <dll>
#                      [MODULE_TARGET <target>] [SIGNING <-D arguments>] [DEPENDS <file>...])
#
# The Windows Installer package of this build's bitness (package/ZNImportPhotos.wxs), made by
# cmake/zn_make_package.cmake from MODULE and the document file, whose installed copies it leaves
# in STAGE. SIGNING (default: this build's, from ZnSigning.cmake) signs the module before it is
# packaged and then the package.
find_program(ZN_WIXL wixl REQUIRED)
find_program(ZN_MSIBUILD msibuild REQUIRED)
include(${CMAKE_SOURCE_DIR}/cmake/ZnSigning.cmake)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZN_PACKAGE_ARCH x64)
  set(ZN_UPGRADE_CODE ${ZN_UPGRADE_CODE_X64})
else()
  set(ZN_PACKAGE_ARCH x86)
  set(ZN_UPGRADE_CODE ${ZN_UPGRADE_CODE_X86})
endif()
set(ZN_PACKAGE_VERSION ${ZN_VERSION})

function(zn_installer_package target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT;STAGE;VERSION;MODULE;MODULE_TARGET" "SIGNING;DEPENDS")
  if(NOT DEFINED ARG_SIGNING)
    set(ARG_SIGNING ${ZN_SIGN_ARGS})
  endif()
  set(document ${CMAKE_BINARY_DIR}/bin/${ZN_DOCUMENT_FILE_NAME})
  set(script ${CMAKE_SOURCE_DIR}/cmake/zn_make_package.cmake)
  add_custom_command(OUTPUT ${ARG_OUTPUT} ${ARG_STAGE}/ZNImportPhotos.dll ${ARG_STAGE}/${ZN_DOCUMENT_FILE_NAME}
    COMMAND ${CMAKE_COMMAND} -DMODULE=${ARG_MODULE} -DDOCUMENT=${document} -DSTAGE=${ARG_STAGE}
            -DOUTPUT=${ARG_OUTPUT} -DARCH=${ZN_PACKAGE_ARCH} -DVERSION=${ARG_VERSION} -DPUBLISHER=${ZN_PUBLISHER}
            -DPRODUCT_NAME=${ZN_PRODUCT_NAME}
            -DDESCRIPTION=${ZN_PRODUCT_DESCRIPTION} -DUPGRADE_CODE=${ZN_UPGRADE_CODE} -DWXS_DIR=${CMAKE_SOURCE_DIR}/package
            -DOBJCOPY=${CMAKE_OBJCOPY} -DWIXL=${ZN_WIXL} -DMSIBUILD=${ZN_MSIBUILD} ${ARG_SIGNING} -P ${script}
    DEPENDS ${ARG_MODULE} ${ARG_MODULE_TARGET} zn_page_document ${document} ${script}
            ${CMAKE_SOURCE_DIR}/cmake/zn_sign.cmake ${CMAKE_SOURCE_DIR}/package/ZNImportPhotos.wxs
            ${CMAKE_SOURCE_DIR}/package/interfaces.wxi ${ARG_DEPENDS}
    COMMENT "Packaging ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
