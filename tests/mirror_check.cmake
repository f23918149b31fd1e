# Run as a test: every test program's folder has the path of the source folder it tests, so the
# tests of a file are found from its folder's name. road/ walks across both programs and so
# mirrors no one folder.
file(GLOB_RECURSE _lists RELATIVE ${SOURCE_DIR}/tests ${SOURCE_DIR}/tests/*/CMakeLists.txt)
set(_unmirrored)
foreach(_list IN LISTS _lists)
  get_filename_component(_dir ${_list} DIRECTORY)
  if(NOT _dir MATCHES "^road(/|$)" AND NOT IS_DIRECTORY ${SOURCE_DIR}/${_dir})
    list(APPEND _unmirrored tests/${_dir})
  endif()
endforeach()
if(_unmirrored)
  message(FATAL_ERROR "Test folders with no source folder of the same path: ${_unmirrored}")
endif()
