# qrtl_ship(<target>)
# Puts a program into both Windows packages: the zip, the installer's files and its
# uninstaller's list (packaging/CMakeLists.txt reads the list once every folder is
# read). Only what a card owner runs; never a test helper.
function(qrtl_ship target)
  if(WIN32)
    set_property(GLOBAL APPEND PROPERTY QRTL_SHIPPED_PROGRAMS ${target})
  endif()
endfunction()
