# Makes the Windows Installer package of one bitness, in the order signing needs:
#   1. the files it installs, in STAGE: the module without its debugging information (a tenth of
#      the size) and the document file;
#   2. the module signed, so that the package carries the signed module;
#   3. the package made by wixl from package/ZNImportPhotos.wxs;
#   4. what wixl cannot write: the File table's version of the module (wixl leaves it empty and
#      adds a hash, which is for unversioned files), so that file-version rules and inventory
#      tools see it, and a component's condition;
#   5. the package signed.
#   cmake -DMODULE=<dll> -DDOCUMENT=<vbd> -DSTAGE=<folder> -DOUTPUT=<msi> -DARCH=x64|x86
#         -DVERSION=<a.b.c> -DPUBLISHER=<name> -DPRODUCT_NAME=<name> -DDESCRIPTION=<text> -DUPGRADE_CODE=<guid>
#         -DWXS_DIR=<package/> -DOBJCOPY=<objcopy> -DWIXL=<wixl> -DMSIBUILD=<msibuild>
#         <signing settings, see zn_sign.cmake> -P zn_make_package.cmake
# The build runs it for the product's package; the tests run it for their packages, signed ones
# among them.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/zn_sign.cmake)

foreach(required MODULE DOCUMENT STAGE OUTPUT ARCH VERSION PUBLISHER PRODUCT_NAME DESCRIPTION UPGRADE_CODE WXS_DIR OBJCOPY WIXL
                 MSIBUILD)
  if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
    message(FATAL_ERROR "zn_make_package.cmake: ${required} is required")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    list(GET ARGN 0 tool)
    message(FATAL_ERROR "${tool} failed (${rc}): ${out}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${STAGE})
get_filename_component(document_name ${DOCUMENT} NAME)
run(${OBJCOPY} --strip-debug ${MODULE} ${STAGE}/ZNImportPhotos.dll)
file(COPY_FILE ${DOCUMENT} ${STAGE}/${document_name})
zn_sign_file(${STAGE}/ZNImportPhotos.dll)

if(ARCH STREQUAL "x64")
  set(bitness 64-bit)
else()
  set(bitness 32-bit)
endif()
set(made ${OUTPUT}.making)
file(REMOVE ${made})
# wixl takes the files' sources relative to the folder it runs in.
execute_process(COMMAND ${WIXL} -a ${ARCH} -D Arch=${ARCH} -D Version=${VERSION} -D "Publisher=${PUBLISHER}"
                        -D "ProductName=${PRODUCT_NAME}" -D "Description=${DESCRIPTION}" -D Bitness=${bitness} -D UpgradeCode=${UPGRADE_CODE}
                        -I ${WXS_DIR} -o ${made} ${WXS_DIR}/ZNImportPhotos.wxs
  WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "wixl failed (${rc}): ${out}")
endif()
# Windows reads a file's version as four fields; the package's version has three.
run(${MSIBUILD} ${made} -q "UPDATE `File` SET `Version` = '${VERSION}.0', `Language` = '1033' WHERE `File` = 'ZNImportPhotos.dll'")
run(${MSIBUILD} ${made} -q "DELETE FROM `MsiFileHash` WHERE `File_` = 'ZNImportPhotos.dll'")
if(ARCH STREQUAL "x64")
  # Installed only where the system has no 32-bit side (see the .wxs).
  run(${MSIBUILD} ${made} -q "UPDATE `Component` SET `Condition` = 'NOT WINDOWS_32BIT_SIDE' WHERE `Component` = 'ProgIdsIn64BitView'")
endif()
get_filename_component(output_name ${OUTPUT} NAME)
zn_sign_file(${made} ${output_name})
file(RENAME ${made} ${OUTPUT})
