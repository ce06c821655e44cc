# Authenticode signing of what the Windows builds ship: ZNImportPhotos.dll before it is packaged,
# then each package. Off unless a certificate is given, as cache variables (or environment
# variables of the same names, read when the build is first configured):
#   ZN_SIGN_PKCS12           a PKCS#12 file (.p12, .pfx) holding the certificate and its key, or
#   ZN_SIGN_CERT, ZN_SIGN_KEY the certificate (chain) and the private key as PEM files;
#   ZN_SIGN_PASSWORD_FILE    a file whose first line is the key's password (the password itself
#                            never goes on a command line, into a log or into this cache);
#   ZN_SIGN_TIMESTAMP_URL    an RFC 3161 time-stamping server; none by default (signatures without
#                            a time stamp stop verifying when the certificate expires).
# The signing itself is cmake/zn_sign.cmake, which the packaging (cmake/zn_make_package.cmake) and
# the signing tests run alike.
foreach(setting PKCS12 CERT KEY PASSWORD_FILE)
  set(ZN_SIGN_${setting} "$ENV{ZN_SIGN_${setting}}" CACHE FILEPATH "Signing: see cmake/ZnSigning.cmake")
endforeach()
set(ZN_SIGN_TIMESTAMP_URL "$ENV{ZN_SIGN_TIMESTAMP_URL}" CACHE STRING "Signing: an RFC 3161 time-stamping server")

set(ZN_SIGNING OFF)
if(ZN_SIGN_PKCS12 OR ZN_SIGN_CERT OR ZN_SIGN_KEY)
  if(NOT ZN_SIGN_PKCS12 AND NOT (ZN_SIGN_CERT AND ZN_SIGN_KEY))
    message(FATAL_ERROR "Signing needs ZN_SIGN_PKCS12, or both ZN_SIGN_CERT and ZN_SIGN_KEY")
  endif()
  foreach(file ${ZN_SIGN_PKCS12} ${ZN_SIGN_CERT} ${ZN_SIGN_KEY} ${ZN_SIGN_PASSWORD_FILE})
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "Signing: ${file} does not exist")
    endif()
  endforeach()
  find_program(ZN_OSSLSIGNCODE osslsigncode REQUIRED)
  set(ZN_SIGNING ON)
  if(ZN_SIGN_TIMESTAMP_URL)
    set(stamp "time-stamped by ${ZN_SIGN_TIMESTAMP_URL}")
  else()
    set(stamp "without a time stamp")
  endif()
  message(STATUS "Signing: ON, ZNImportPhotos.dll and the package signed with ${ZN_SIGN_PKCS12}${ZN_SIGN_CERT} (SHA-256, ${stamp})")
else()
  message(STATUS "Signing: OFF, nothing is signed (no certificate given: ZN_SIGN_PKCS12, or ZN_SIGN_CERT and ZN_SIGN_KEY)")
endif()

# The -D arguments that hand this build's signing settings to zn_sign.cmake and zn_make_package.cmake.
set(ZN_SIGN_ARGS -DSIGN=${ZN_SIGNING} -DOSSLSIGNCODE=${ZN_OSSLSIGNCODE} -DPKCS12=${ZN_SIGN_PKCS12}
  -DCERT=${ZN_SIGN_CERT} -DKEY=${ZN_SIGN_KEY} -DPASSWORD_FILE=${ZN_SIGN_PASSWORD_FILE}
  -DTIMESTAMP_URL=${ZN_SIGN_TIMESTAMP_URL})
