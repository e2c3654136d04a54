# The layers of the sources, held twice over:
# - by link: each library is linked alone with what lies below it (qrtl_check_layer),
#   so that a call from a lower layer into a higher one is an undefined reference;
# - by include: each folder may include only the headers of the folders it names
#   here (cmake/CheckIncludes.cmake, run in every native build), so that a config/
#   file including a setup/ header fails the build even when it calls nothing.
#
# One rule a folder (its files, not its subfolders): the folder, then the folders
# (or single headers) it may include. An include without a folder ("product.h",
# a resource.h beside the file) is always allowed. A folder marked PORTABLE includes
# no system header either: only the C++ library's (<string>, <cstdint> ...).
set(QRTL_LAYER_RULES
  "PORTABLE platform: platform"
  "PORTABLE trace: platform trace"
  "PORTABLE config: platform trace config"
  "PORTABLE dispatch: platform trace config dispatch driver/CardDriverApi.h"
  "PORTABLE setup: platform trace config dispatch driver/CardDriverApi.h setup"
  "platform/win32: platform platform/win32"
  "driver: platform platform/win32 driver"
  "framework: platform/win32 framework"
  "setup/win32: platform trace config dispatch setup platform/win32 driver setup/win32"
  "app: platform trace config dispatch platform/win32 driver framework res app"
  "tools/common: platform trace config dispatch setup platform/win32 driver setup/win32 tools/common"
  "tools/traceviewer: platform trace platform/win32 tools/common tools/traceviewer"
  "tools/profile: platform trace config dispatch setup platform/win32 driver setup/win32 tools/common tools/profile"
  "tools/remote: platform trace config dispatch setup platform/win32 driver setup/win32 tools/common tools/remote"
  "sim/simdriver: driver/CardDriverApi.h platform/win32/Handle.h tools/common/ToolSupport.h"
  "sim/standin: platform/win32/Handle.h tools/common/ToolSupport.h sim/standin"
  "sim/qrtlctl: platform/win32/Handle.h tools/common/ToolSupport.h")

# qrtl_check_layer(<name> <library>...)
# Links every object of the given libraries (and nothing else of ours) into one
# program, layer_<name>. The Windows build adds the system libraries the Win32
# layers import.
function(qrtl_check_layer name)
  set(_main ${CMAKE_BINARY_DIR}/layer_main.cpp)
  if(NOT EXISTS ${_main})
    file(WRITE ${_main} "int main() { return 0; }\n")
  endif()
  add_executable(layer_${name} ${_main})
  target_link_libraries(layer_${name} PRIVATE "-Wl,--whole-archive" ${ARGN} "-Wl,--no-whole-archive")
  if(WIN32)
    target_link_libraries(layer_${name} PRIVATE user32 gdi32 advapi32 shell32 comctl32 version kernel32)
  endif()
endfunction()

# Called once at the end of the top CMakeLists.txt, when every library is defined.
function(qrtl_check_layers)
  set(_core qrtl_trace)
  qrtl_check_layer(trace ${_core})
  list(PREPEND _core qrtl_config)
  qrtl_check_layer(config ${_core})
  list(PREPEND _core qrtl_dispatch)
  qrtl_check_layer(dispatch ${_core})
  list(PREPEND _core qrtl_setup)
  qrtl_check_layer(setup ${_core})
  if(WIN32)
    qrtl_check_layer(platform_win32 qrtl_win32 ${_core})
    qrtl_check_layer(driver qrtl_driver)
    qrtl_check_layer(setup_win32 qrtl_setup_win32 qrtl_driver qrtl_win32 ${_core})
    return()
  endif()

  # The include rules, checked on every native build (the files are read afresh
  # each time, so a new include is caught without configuring again).
  string(REPLACE ";" "|" _rules "${QRTL_LAYER_RULES}")
  add_custom_target(layer_includes ALL
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} "-DRULES=${_rules}"
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking the includes of each layer"
    VERBATIM)
endfunction()
