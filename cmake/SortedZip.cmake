# Run by cpack once it has made the zip, before it copies it out and writes its checksum: the
# zip made again from the same staged tree, its files in sorted order (a folder given to tar
# would bring its files in the order the file system lists them).
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
       "${CPACK_TEMPORARY_DIRECTORY}/*")
  list(SORT entries)
  file(REMOVE "${zip}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip -- ${entries}
                  WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot write ${zip} again")
  endif()
endforeach()
