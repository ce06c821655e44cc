# What the module is and who publishes it, in one place. The version resource's CompanyName,
# FileDescription, ProductName and OriginalFilename, the packages' Manufacturer and names, and the publisher that
# Add/Remove Programs shows all come from here; AppLocker's and WDAC's publisher rules read the
# signing certificate's subject with the product name, the file name and the file version.
#
# ZN_PUBLISHER: a publisher that signs its builds names the organisation its certificate names.
set(ZN_PUBLISHER "ZNImportPhotos developers" CACHE STRING
  "The publisher: the module's CompanyName, the packages' Manufacturer, Add/Remove Programs' publisher")
set(ZN_PRODUCT_NAME ZNImportPhotos)
# What it does, in the plug-in's own caption: the version resource's FileDescription, the package's
# description and the signature's.
set(ZN_PRODUCT_DESCRIPTION "Import Applicant/Student/Faculty/Individual Photos")
set(ZN_MODULE_FILE_NAME ZNImportPhotos.dll)
# The release's version, three fields from project(): the third changes with every release. It is
# the module's FILEVERSION and PRODUCTVERSION, the packages' ProductVersion and the version their
# File table gives the module. (The version resource's FileVersion and ProductVersion texts stay
# "1.00", as hosts have always read them.)
set(ZN_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
# Each bitness's package keeps one upgrade code for good: detection rules and major upgrades find
# the product by it.
set(ZN_UPGRADE_CODE_X64 B6FF376C-2F1A-4B9F-A1D6-AF3CEECEA90B)
set(ZN_UPGRADE_CODE_X86 02A2B476-4A06-4DCA-AA55-DDF7E5E8C3C2)

# zn_version_header(<folder> [PATCH <n>])
#
# Writes <folder>/zn_version.h, the module's version resource's numbers and names, for the
# release's version or, with PATCH, for another third field (a test's later release).
function(zn_version_header folder)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PATCH" "")
  if(DEFINED ARG_PATCH)
    set(PROJECT_VERSION_PATCH ${ARG_PATCH})
  endif()
  # The texts read "1.00": the major version, a point and the minor version in two digits.
  if(PROJECT_VERSION_MINOR LESS 10)
    set(ZN_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR})
  else()
    set(ZN_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/plugin/version.h.in ${folder}/zn_version.h @ONLY)
endfunction()
