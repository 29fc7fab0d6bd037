# The download: `cmake --build build/windows --target package` writes Kavrin-<version>-win64.zip,
# one folder Kavrin/ with both programs and LIESMICH.txt, and its .sha256 beside it. The zip is
# the same byte for byte from any clean clone: its times are the last commit's.

file(STRINGS res/AboutBox.h feedback REGEX "^#define KAVRIN_FEEDBACK_ADDRESS ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" KAVRIN_FEEDBACK_ADDRESS "${feedback}")
set(KAVRIN_PACKAGE Kavrin-${KAVRIN_FILE_VERSION}-win64)
configure_file(res/LIESMICH.txt.in LIESMICH.txt @ONLY NEWLINE_STYLE CRLF)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS res/AboutBox.h)

# Explicit modes, so that the umask of a checkout does not reach the zip.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(PROGRAMS $<TARGET_FILE:Kavrin> $<TARGET_FILE:KavrinReport> DESTINATION Kavrin)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LIESMICH.txt DESTINATION Kavrin)
# With KAVRIN_SIGN_PKCS12 (and KAVRIN_SIGN_PASSWORD_FILE, optionally KAVRIN_SIGN_TIMESTAMP_URL)
# in the environment, cpack signs the programs it packs; the signature names the program and
# the feedback address.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake)
set(CPACK_KAVRIN_SIGN_URL "mailto:${KAVRIN_FEEDBACK_ADDRESS}")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kavrin)
set(CPACK_PACKAGE_VERSION ${KAVRIN_FILE_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${KAVRIN_PACKAGE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
# Read by cpack as it runs: the entries' time is that of the commit checked out then, unless
# SOURCE_DATE_EPOCH gives one; where git gives none (no git, no checkout), a fixed date.
get_filename_component(source_parent "${PROJECT_SOURCE_DIR}" DIRECTORY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/PackageTime.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "
set(ENV{TZ} UTC)   # the entries' DOS times are local times
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  # Not the commit of a checkout that the tree merely lies in.
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env \"GIT_CEILING_DIRECTORIES=${source_parent}\"
                          git -C \"${PROJECT_SOURCE_DIR}\" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES \"^[0-9]+$\")
    set(epoch 1000000000)   # 2001-09-09
  endif()
  set(ENV{SOURCE_DATE_EPOCH} \${epoch})
endif()
")
# CPack adds the files in the order the file system lists them; written again, sorted.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/SortedZip.cmake)
include(CPack)
