# Signs one file in place with Authenticode, SHA-256: a PE (the DLL) or a Windows Installer package.
#   cmake -DFILE=<file> -DSIGN=ON -DOSSLSIGNCODE=<osslsigncode> (-DPKCS12=<file> | -DCERT=<pem> -DKEY=<pem>)
#         [-DPASSWORD_FILE=<file>] [-DTIMESTAMP_URL=<url>] -P zn_sign.cmake
# With SIGN off it does nothing. Included by zn_make_package.cmake, which calls zn_sign_file().
cmake_minimum_required(VERSION 3.25)

# zn_sign_file(<file> [<name>]): name is what the message calls it (default: the file's name).
function(zn_sign_file file)
  if(NOT SIGN)
    return()
  endif()
  if(PKCS12)
    set(key_args -pkcs12 ${PKCS12})
  else()
    set(key_args -certs ${CERT} -key ${KEY})
  endif()
  if(PASSWORD_FILE)
    # osslsigncode reads the password from the file: it appears on no command line.
    list(APPEND key_args -readpass ${PASSWORD_FILE})
  endif()
  if(TIMESTAMP_URL)
    list(APPEND key_args -ts ${TIMESTAMP_URL})
  endif()
  get_filename_component(name ${file} NAME)
  if(ARGC GREATER 1)
    set(name ${ARGV1})
  endif()
  set(signed ${file}.signing)
  file(REMOVE ${signed})
  execute_process(COMMAND ${OSSLSIGNCODE} sign ${key_args} -h sha256 -n "Import Applicant/Student/Faculty/Individual Photos"
                          -in ${file} -out ${signed}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${signed})
    file(REMOVE ${signed})
    message(FATAL_ERROR "Signing ${name} failed: ${out}")
  endif()
  file(RENAME ${signed} ${file})
  message(STATUS "Signed ${name}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT FILE)
    message(FATAL_ERROR "usage: cmake -DFILE=<file> -DSIGN=ON ... -P zn_sign.cmake")
  endif()
  zn_sign_file(${FILE})
endif()
