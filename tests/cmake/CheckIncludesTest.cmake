# cmake -DROOT=<source tree> -DWORK=<scratch folder> -P CheckIncludesTest.cmake
# The include check against small trees of one file each, under the project's own
# rules: what a layer may include passes, an include across the layers fails.
cmake_minimum_required(VERSION 3.20)
include(${ROOT}/cmake/Layers.cmake)
string(REPLACE ";" "|" _rules "${QRTL_LAYER_RULES}")

# file | line | expected (pass or fail)
set(_cases
  "config/A.h|#include \"trace/Trace.h\"|pass"
  "config/A.h|#include \"setup/ProfileCheck.h\"|fail"
  "config/A.cpp|  #  include \"dispatch/Dispatch.h\"|fail"
  "dispatch/A.cpp|#include \"driver/CardDriverApi.h\"|pass"
  "dispatch/A.cpp|#include \"driver/CardDriver.h\"|fail"
  "trace/A.h|#include \"platform/win32/Handle.h\"|fail"
  "setup/A.cpp|#include <windows.h>|fail"
  "setup/A.cpp|#include <string>|pass"
  "setup/win32/A.cpp|#include <windows.h>|pass"
  "setup/win32/A.cpp|#include \"tools/common/MonitorControl.h\"|fail"
  "app/A.cpp|#include \"setup/ProfileCheck.h\"|fail"
  "app/A.rc|#include \"res/resource.h\"|pass"
  "tools/remote/A.cpp|#include \"app/TrayIcon.h\"|fail"
  "sim/standin/A.cpp|#include \"tools/common/ToolSupport.h\"|pass"
  "config/A.h|#include \"product.h\"|pass")

set(_failures "")
set(_i 0)
foreach(_case IN LISTS _cases)
  math(EXPR _i "${_i} + 1")
  string(REPLACE "|" ";" _parts "${_case}")
  list(GET _parts 0 _file)
  list(GET _parts 1 _line)
  list(GET _parts 2 _expected)
  set(_tree ${WORK}/case${_i})
  file(REMOVE_RECURSE ${_tree})
  # Every folder a rule names exists, empty but for the file of the case.
  foreach(_rule IN LISTS QRTL_LAYER_RULES)
    string(REGEX REPLACE "^(PORTABLE )?([^:]+):.*" "\\2" _folder "${_rule}")
    file(MAKE_DIRECTORY ${_tree}/${_folder})
  endforeach()
  file(WRITE ${_tree}/${_file} "// case ${_i}\n${_line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${_tree} "-DRULES=${_rules}"
                          -P ${ROOT}/cmake/CheckIncludes.cmake
                  RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(_rc EQUAL 0)
    set(_got pass)
  else()
    set(_got fail)
    # A failure names the file and the line of the breach.
    if(NOT _out MATCHES "${_file}:2: ")
      string(APPEND _failures "  ${_file} '${_line}': the report does not name its line:\n${_out}\n")
    endif()
  endif()
  if(NOT _got STREQUAL _expected)
    string(APPEND _failures "  ${_file} '${_line}': expected ${_expected}, got ${_got}\n${_out}\n")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})

if(_failures)
  message(FATAL_ERROR "include check cases failed:\n${_failures}")
endif()
message(STATUS "include check: ${_i} cases as expected")
