# qrtl_target_defaults(<target>...)
# What every target of ours shares: the warnings, and on the include path the
# source tree ("config/QRTLIRSet.h", "platform/win32/Handle.h" ...) and the
# generated product.h. A library hands the include path on to its users.
function(qrtl_target_defaults)
  foreach(_target IN LISTS ARGN)
    target_compile_options(${_target} PRIVATE -Wall -Wextra)
    set(_scope PRIVATE)
    get_target_property(_type ${_target} TYPE)
    if(_type STREQUAL "STATIC_LIBRARY")
      set(_scope PUBLIC)
    endif()
    target_include_directories(${_target} ${_scope} ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  endforeach()
endfunction()
