# zn_installer_package(<target> OUTPUT <file.msi> VERSION <a.b.c>)
#
# The Windows Installer package of this build's bitness (package/ZNImportPhotos.wxs), made by
# wixl from the files that zn_package_files puts into bin/package/.
find_program(ZN_WIXL wixl REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(ZN_PACKAGE_ARCH x64)
else()
  set(ZN_PACKAGE_ARCH x86)
endif()
# Windows Installer compares three fields; the project keeps two.
set(ZN_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0)

function(zn_installer_package target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT;VERSION" "")
  set(source ${CMAKE_SOURCE_DIR}/package/ZNImportPhotos.wxs)
  get_filename_component(output_dir ${ARG_OUTPUT} DIRECTORY)
  # wixl takes the files' sources relative to the folder it runs in.
  set(files ${CMAKE_BINARY_DIR}/bin/package)
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${ZN_WIXL} -a ${ZN_PACKAGE_ARCH} -D Arch=${ZN_PACKAGE_ARCH} -D Version=${ARG_VERSION} -I ${CMAKE_SOURCE_DIR}/package
            -o ${ARG_OUTPUT} ${source}
    WORKING_DIRECTORY ${files}
    DEPENDS ${source} ${CMAKE_SOURCE_DIR}/package/interfaces.wxi zn_package_files ${files}/ZNImportPhotos.dll
            ${files}/${ZN_DOCUMENT_FILE_NAME}
    COMMENT "Packaging ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
