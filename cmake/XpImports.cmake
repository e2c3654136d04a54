# The Windows XP import check of a shipped program.
#
#   include(cmake/XpImports.cmake)
#   qrtl_check_xp_imports(<target> <test-prefix>)
#       adds the test <test-prefix>.EveryImport_ExistsOnWindowsXp, which fails when
#       the program imports a function that is not in WinXpImports.txt, the list of
#       functions known to exist on Windows XP SP3: one such import and the loader
#       refuses to start the program at all there. Nothing happens natively.
#   cmake -DOBJDUMP=... -DEXE=... -DALLOWED=... -P cmake/XpImports.cmake
#       the check itself, as the test runs it.

if(NOT CMAKE_SCRIPT_MODE_FILE)
  function(qrtl_check_xp_imports target prefix)
    if(NOT WIN32)
      return()
    endif()
    add_test(NAME ${prefix}.EveryImport_ExistsOnWindowsXp
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=$<TARGET_FILE:${target}>
                     -DALLOWED=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/WinXpImports.txt
                     -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/XpImports.cmake)
  endfunction()
  return()
endif()

foreach(_v OBJDUMP EXE ALLOWED)
  if(NOT DEFINED ${_v})
    message(FATAL_ERROR "CheckImports: ${_v} is not set")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE _dump RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "CheckImports: ${OBJDUMP} -p ${EXE} failed (${_rc})")
endif()

file(STRINGS ${ALLOWED} _allowed REGEX "^[^#]")
string(TOUPPER "${_allowed}" _allowed_upper)

string(REPLACE ";" "," _dump "${_dump}")
string(REPLACE "\n" ";" _lines "${_dump}")
set(_dll "")
set(_count 0)
set(_missing "")
foreach(_line IN LISTS _lines)
  if(_line MATCHES "DLL Name: ([^ \t]+)")
    string(TOUPPER "${CMAKE_MATCH_1}" _dll)
  elseif(_dll AND _line MATCHES "^\t[0-9a-fA-F]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)")
    set(_fn "${CMAKE_MATCH_1}")
    math(EXPR _count "${_count} + 1")
    string(TOUPPER "${_dll}!${_fn}" _key)
    list(FIND _allowed_upper "${_key}" _at)
    if(_at EQUAL -1)
      list(APPEND _missing "${_dll}!${_fn}")
    endif()
  elseif(_dll AND _line MATCHES "^\t[0-9a-fA-F]+\t +<none> +([0-9a-fA-F]+)")
    list(APPEND _missing "${_dll}!ordinal ${CMAKE_MATCH_1}")
  endif()
endforeach()

if(_count EQUAL 0)
  message(FATAL_ERROR "CheckImports: no imported function found in ${EXE}")
endif()
if(_missing)
  list(JOIN _missing "\n  " _text)
  message(FATAL_ERROR "Imports not known to exist on Windows XP SP3:\n  ${_text}\n"
                      "Avoid the call, or check it exists there and add it to ${ALLOWED}.")
endif()
message(STATUS "${_count} imported functions, all present on Windows XP SP3")
