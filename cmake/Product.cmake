# The product's facts: the names the programs, the installer, the tests and the
# scripts know each other by. Each is written here once.
#
#   include(cmake/Product.cmake)       sets the QRTL_* variables and generates
#                                      <build>/generated/product.h
#   cmake -P cmake/Product.cmake       prints them as shell assignments (the scripts
#                                      read them this way, with or without a build)

set(QRTL_VENDOR "Quorel Tellivar")
set(QRTL_PRODUCT "Quorel Tellivar IR Monitor")
# The main window's caption and class (it is a dialog), by which the installer, the
# tools and the tests find it.
set(QRTL_MONITOR_CAPTION "${QRTL_PRODUCT}")
set(QRTL_MONITOR_CLASS "#32770")
set(QRTL_SETUP_CAPTION "${QRTL_PRODUCT} Setup")
set(QRTL_ABOUT_CAPTION "About QRTLIRMoni")
# The trace viewer's window title, by which the monitor finds it.
set(QRTL_TRACE_VIEWER_TITLE "MsgCapForm")
# QRTLTrace's window class, by which the installer closes our viewer and no other.
set(QRTL_TRACE_VIEWER_CLASS "QRTLTraceViewer")
# The tray menu's "Close" command: posting it as WM_COMMAND ends the monitor.
set(QRTL_ID_MENU_CLOSE 32773)
set(QRTL_RUN_KEY [[Software\Microsoft\Windows\CurrentVersion\Run]])
set(QRTL_RUN_VALUE "Quorel TLIRMoni")
set(QRTL_MONITOR_EXE "QRTLIRMoni.exe")
# The remote set-up window: its caption differs from every caption the monitor looks up.
set(QRTL_REMOTE_CAPTION "Remote Set-up - ${QRTL_PRODUCT}")
set(QRTL_REMOTE_EXE "QRTLRemote.exe")
set(QRTL_PROFILE_NAME "QRTLIRMoni.INI")
set(QRTL_SAMPLE_PROFILE_NAME "QRTLIRMoni.sample.INI")
# The profile a first install gets: nothing chosen, nothing learned.
set(QRTL_STARTER_PROFILE_NAME "QRTLIRMoni.starter.INI")
# The remote set-up window's Start menu entry.
set(QRTL_SET_UP_LINK "Set up the remote")
# The file the installer leaves in its folder: a later install knows the folder as ours.
set(QRTL_INSTALL_MARKER "QRTLIRMoni.installed")
# The card's driver library: Windows 95/98/Me, and the NT family.
set(QRTL_DRIVER_9X "QRDi10DE.DLL")
set(QRTL_DRIVER_NT "QRD210DE.DLL")

set(_qrtl_product_facts VENDOR PRODUCT MONITOR_CAPTION MONITOR_CLASS SETUP_CAPTION ABOUT_CAPTION
    TRACE_VIEWER_TITLE TRACE_VIEWER_CLASS ID_MENU_CLOSE RUN_KEY RUN_VALUE MONITOR_EXE REMOTE_CAPTION REMOTE_EXE
    PROFILE_NAME SAMPLE_PROFILE_NAME STARTER_PROFILE_NAME SET_UP_LINK INSTALL_MARKER DRIVER_9X DRIVER_NT)

if(CMAKE_SCRIPT_MODE_FILE)
  # One NAME='value' line per fact; no value holds a quote.
  foreach(_fact IN LISTS _qrtl_product_facts)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "QRTL_${_fact}='${QRTL_${_fact}}'")
  endforeach()
  return()
endif()

set(QRTL_VERSION ${PROJECT_VERSION})
# C string literals of the texts, for the header.
foreach(_fact IN LISTS _qrtl_product_facts ITEMS VERSION)
  string(REPLACE "\\" "\\\\" QRTL_C_${_fact} "${QRTL_${_fact}}")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/product.h.in ${CMAKE_BINARY_DIR}/generated/product.h @ONLY)

# The programs' manifests, from the same facts: the resource scripts find them in
# the generated folder, as they find product.h. An assembly name holds no blanks.
string(REPLACE " " "" QRTL_MANIFEST_VENDOR "${QRTL_VENDOR}")
set(QRTL_MANIFEST_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
if(PROJECT_VERSION_PATCH)
  set(QRTL_MANIFEST_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/QRTLIRMoni.manifest.in ${CMAKE_BINARY_DIR}/generated/QRTLIRMoni.manifest @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/tools/remote/QRTLRemote.manifest.in ${CMAKE_BINARY_DIR}/generated/QRTLRemote.manifest
               @ONLY)
