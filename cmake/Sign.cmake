# Run by cpack once it has staged the files, before it packs them. The download of an earlier
# run goes first, so that a run that stops here leaves no zip. With KAVRIN_SIGN_PKCS12 set, the
# staged copies of the programs are signed (Authenticode, SHA-256, RSA); the build tree's stay
# as built. Any fault stops cpack before it writes the zip.
file(REMOVE "${CPACK_OUTPUT_FILE_PREFIX}/${CPACK_PACKAGE_FILE_NAME}.zip"
            "${CPACK_OUTPUT_FILE_PREFIX}/${CPACK_PACKAGE_FILE_NAME}.zip.sha256")
if(NOT DEFINED ENV{KAVRIN_SIGN_PKCS12})
  return()
endif()

function(refuse why)
  message(FATAL_ERROR "No zip: the programs cannot be signed: ${why}")
endfunction()

foreach(var KAVRIN_SIGN_PKCS12 KAVRIN_SIGN_PASSWORD_FILE)
  if(NOT EXISTS "$ENV{${var}}" OR IS_DIRECTORY "$ENV{${var}}")
    refuse("${var} names no file: '$ENV{${var}}' (give its full path)")
  endif()
endforeach()
set(p12 "$ENV{KAVRIN_SIGN_PKCS12}")
set(password "$ENV{KAVRIN_SIGN_PASSWORD_FILE}")
find_program(OPENSSL openssl)
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OPENSSL OR NOT OSSLSIGNCODE)
  refuse("openssl and osslsigncode are needed (apt-get install openssl osslsigncode)")
endif()

# The certificate of the key, checked here: osslsigncode signs with an expired one too.
execute_process(COMMAND "${OPENSSL}" pkcs12 -in "${p12}" -passin "file:${password}" -nokeys -clcerts
                COMMAND "${OPENSSL}" x509 -noout -text -checkend 0
                OUTPUT_VARIABLE cert ERROR_VARIABLE err RESULTS_VARIABLE results)
list(GET results 0 opened)
list(GET results 1 expired)
string(REGEX MATCH "Not After *: [^\n]*" until "${cert}")
if(NOT opened EQUAL 0 OR NOT until)
  refuse("no certificate from ${p12} with the password in ${password} (wrong password?): ${err}")
endif()
if(NOT expired EQUAL 0)
  refuse("the certificate in ${p12} has expired (${until})")
endif()
if(NOT cert MATCHES "X509v3 Extended Key Usage:[^\n]*\n[^\n]*Code Signing")
  refuse("the certificate in ${p12} is not for code signing (no codeSigning extended key usage)")
endif()
if(NOT cert MATCHES "Public Key Algorithm: rsaEncryption")
  refuse("the certificate in ${p12} has no RSA key, which Smart App Control requires")
endif()

set(stamp)
if(NOT "$ENV{KAVRIN_SIGN_TIMESTAMP_URL}" STREQUAL "")
  set(stamp -ts "$ENV{KAVRIN_SIGN_TIMESTAMP_URL}")
endif()
# Every program of the download, so that none goes out unsigned beside signed ones.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
if(NOT programs)
  refuse("no program in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(exe IN LISTS programs)
  set(signed "${CPACK_TOPLEVEL_DIRECTORY}/signed.exe")   # outside the staged tree
  file(REMOVE "${signed}")
  execute_process(COMMAND "${OSSLSIGNCODE}" sign -pkcs12 "${p12}" -readpass "${password}"
                          -h sha256 -n "${CPACK_PACKAGE_NAME}" -i "${CPACK_KAVRIN_SIGN_URL}"
                          ${stamp} -in "${exe}" -out "${signed}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE failed)
  if(failed OR NOT EXISTS "${signed}")
    refuse("osslsigncode could not sign ${exe}:\n${out}")
  endif()
  file(RENAME "${signed}" "${exe}")
  # The mode install(PROGRAMS) gave it.
  file(CHMOD "${exe}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  message(STATUS "signed ${exe}")
endforeach()
