# Run by `cmake --install`: registers the installed modules with the
# installed norvale-reg, machine-wide when run as root and in the user's part
# otherwise, and records what it registered for `uninstall`.
# In: NORVALE_PREFIX, NORVALE_BINDIR, NORVALE_MODULEDIR, NORVALE_MODULES,
# NORVALE_RECORD.

if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
  message(STATUS "Staged install (DESTDIR): no module is registered; "
                 "the package's own scripts register them when it is installed")
  return()
endif()

set(_tool "${NORVALE_PREFIX}/${NORVALE_BINDIR}/norvale-reg")
set(_record "")
foreach(_name IN LISTS NORVALE_MODULES)
  set(_module "${NORVALE_PREFIX}/${NORVALE_MODULEDIR}/${_name}")
  execute_process(COMMAND "${_tool}" register --install "${_module}"
    RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
  if(_rc EQUAL 0)
    string(STRIP "${_out}" _out)
    message(STATUS "${_out}")
    string(APPEND _record "${_tool}\t${_module}\n")
  else()
    message(WARNING "Could not register ${_module}: ${_err}")
  endif()
endforeach()
file(APPEND "${NORVALE_RECORD}" "${_record}")
