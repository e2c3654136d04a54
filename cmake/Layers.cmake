# qrtl_check_layer(<name> <library>...)
# Links every object of the given libraries (and nothing else of ours) into one
# program: a call from a lower layer into a higher one is then an undefined
# reference, and the build fails. Native builds only; the Windows build links the
# same libraries.
function(qrtl_check_layer name)
  if(WIN32)
    return()
  endif()
  set(_main ${CMAKE_BINARY_DIR}/layer_main.cpp)
  if(NOT EXISTS ${_main})
    file(WRITE ${_main} "int main() { return 0; }\n")
  endif()
  add_executable(layer_${name} ${_main})
  target_link_libraries(layer_${name} PRIVATE "-Wl,--whole-archive" ${ARGN} "-Wl,--no-whole-archive")
endfunction()
