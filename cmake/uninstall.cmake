# Run by the `uninstall` target: unregisters what the install registered
# (while the modules are still there), then removes the installed files.
# In: NORVALE_MANIFEST (install_manifest.txt), NORVALE_RECORD.

if(EXISTS "${NORVALE_RECORD}")
  file(STRINGS "${NORVALE_RECORD}" _lines)
  list(REMOVE_DUPLICATES _lines)
  foreach(_line IN LISTS _lines)
    string(REPLACE "\t" ";" _fields "${_line}")
    list(GET _fields 0 _tool)
    list(GET _fields 1 _module)
    if(EXISTS "${_tool}" AND EXISTS "${_module}")
      execute_process(COMMAND "${_tool}" unregister --install "${_module}"
        RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_VARIABLE _err)
      if(_rc EQUAL 0)
        message(STATUS "Unregistered ${_module}")
      else()
        message(WARNING "Could not unregister ${_module}: ${_err}")
      endif()
    endif()
  endforeach()
  file(REMOVE "${NORVALE_RECORD}")
endif()

if(NOT EXISTS "${NORVALE_MANIFEST}")
  message(STATUS "Nothing to remove: ${NORVALE_MANIFEST} is missing (not installed yet?)")
  return()
endif()
# The manifest names every file as installed, staging directory included.
file(STRINGS "${NORVALE_MANIFEST}" _files)
foreach(_file IN LISTS _files)
  if(IS_SYMLINK "${_file}" OR EXISTS "${_file}")
    file(REMOVE "${_file}")
    message(STATUS "Removed ${_file}")
  endif()
  # The modules' own directory goes with its last file.
  get_filename_component(_dir "${_file}" DIRECTORY)
  get_filename_component(_dirname "${_dir}" NAME)
  file(GLOB _left "${_dir}/*")
  if(_dirname STREQUAL "norvale" AND IS_DIRECTORY "${_dir}" AND NOT _left)
    file(REMOVE_RECURSE "${_dir}")
  endif()
endforeach()
file(REMOVE "${NORVALE_MANIFEST}")
