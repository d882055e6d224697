# The product's one version number, from which everything that shows or
# records a version follows: the setup's file name, both programs' version
# records and manifests, the welcome page, the uninstaller's question and the
# uninstall entry.
#
# PIXELMOOR_VERSION gives it ("4.76"). Without it, the version is that of the
# version record of the p_moor64.exe that the payload packs: that of
# PIXELMOOR_VIEWER_DIR, or the stand-in's (read from the stand-in that a
# PIXELMOOR_PRODUCT_FROM build made, else the version that payload/ gives
# it). A given version that differs from it stops the build, and so does one
# that the uninstall entry cannot hold (its VersionMajor and VersionMinor, as
# the version record, are numbers of 0 to 65535: the version is written as
# they are shown, "4.8", never "4.08").
#
# A viewer folder is refused here when the build could not read it as one
# folder (a ";" in its path, which CMake takes for a list separator) or when
# the build's own folder lies inside it or it inside the build's folder (the
# next build would pack this one's output).
#
# Sets PIXELMOOR_VERSION_MAJOR, PIXELMOOR_VERSION_MINOR,
# PIXELMOOR_VERSION_TEXT, PIXELMOOR_PUBLISHER and PIXELMOOR_PRODUCTNAME, and
# writes version/product_version.h for the resource scripts and
# contract/product_version.cpp.

# The stand-in viewer's version (payload/), the default without a viewer folder.
set(PIXELMOOR_STAND_IN_VERSION 4.75)

function(pm_check_version_text text what)
  if(NOT text MATCHES "^(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$"
     OR CMAKE_MATCH_1 GREATER 65535 OR CMAKE_MATCH_2 GREATER 65535)
    message(FATAL_ERROR "${what} \"${text}\" is no version that the uninstall entry can hold: "
      "two numbers of 0 to 65535 with a point between them, without leading zeros (for example 4.75)")
  endif()
endfunction()

# Stops the build when one of the two folders lies inside the other (or is it).
function(pm_check_apart viewer other what)
  file(REAL_PATH "${viewer}" viewer_real)
  file(REAL_PATH "${other}" other_real)
  cmake_path(IS_PREFIX viewer_real "${other_real}" NORMALIZE inside)
  cmake_path(IS_PREFIX other_real "${viewer_real}" NORMALIZE around)
  if(inside OR around)
    message(FATAL_ERROR "viewer folder: ${viewer}: ${what} ${other} lies inside it or it inside that; "
      "a build would pack its own output. Keep them apart")
  endif()
endfunction()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(PIXELMOOR_VIEWER_DIR)
  string(FIND "${PIXELMOOR_VIEWER_DIR}" ";" semicolon)
  if(NOT semicolon EQUAL -1)
    message(FATAL_ERROR "viewer folder: its path holds a \";\", which CMake takes for a list separator, so the "
      "build could not read the folder as one (it reads \"${PIXELMOOR_VIEWER_DIR}\"); move or rename it")
  endif()
  pm_check_apart("${PIXELMOOR_VIEWER_DIR}" "${CMAKE_BINARY_DIR}" "the build folder")
  set(viewer_program "${PIXELMOOR_VIEWER_DIR}/p_moor64.exe")
  if(NOT EXISTS "${viewer_program}")
    message(FATAL_ERROR "viewer folder: ${viewer_program}: missing; a viewer folder holds the viewer program at its top")
  endif()
elseif(PIXELMOOR_PRODUCT_FROM AND EXISTS "${PIXELMOOR_PRODUCT_FROM}/payload/stage/p_moor64.exe")
  set(viewer_program "${PIXELMOOR_PRODUCT_FROM}/payload/stage/p_moor64.exe")
else()
  set(viewer_program)
endif()
if(viewer_program)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/payload/scripts/viewer_folder.py version "${viewer_program}"
    OUTPUT_VARIABLE viewer_version OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_VARIABLE error ERROR_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${error}")
  endif()
  # A viewer program of another version configures the build anew.
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${viewer_program}")
  set(viewer_source "the version record of ${viewer_program}")
else()
  # The stand-in is built after configuring, with this version.
  set(viewer_version ${PIXELMOOR_STAND_IN_VERSION})
  set(viewer_source "the stand-in viewer's version")
endif()

if(PIXELMOOR_VERSION)
  pm_check_version_text("${PIXELMOOR_VERSION}" "PIXELMOOR_VERSION")
  if(NOT PIXELMOOR_VERSION STREQUAL viewer_version)
    message(FATAL_ERROR "PIXELMOOR_VERSION is ${PIXELMOOR_VERSION}, but ${viewer_source} says ${viewer_version}: "
      "the setup must carry the version of the viewer it installs")
  endif()
  set(PIXELMOOR_VERSION_TEXT ${PIXELMOOR_VERSION})
else()
  pm_check_version_text("${viewer_version}" "${viewer_source}")
  set(PIXELMOOR_VERSION_TEXT ${viewer_version})
endif()
string(REPLACE "." ";" parts ${PIXELMOOR_VERSION_TEXT})
list(GET parts 0 PIXELMOOR_VERSION_MAJOR)
list(GET parts 1 PIXELMOOR_VERSION_MINOR)
message(STATUS "Pixelmoor version: ${PIXELMOOR_VERSION_TEXT}")

# The product's publisher and name for the resource scripts' version
# records, from the contract's header that the programs compile.
set(contract_header ${CMAKE_SOURCE_DIR}/contract/product.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${contract_header}")
file(READ "${contract_header}" contract_text)
foreach(name Publisher ProductName)
  if(NOT contract_text MATCHES "k${name}\\[\\] = L\"([^\"]*)\"")
    message(FATAL_ERROR "${contract_header} defines no k${name}")
  endif()
  string(TOUPPER ${name} upper)
  set(PIXELMOOR_${upper} "${CMAKE_MATCH_1}")
endforeach()

set(PIXELMOOR_VERSION_INCLUDE_DIR ${CMAKE_BINARY_DIR}/version)
file(CONFIGURE OUTPUT ${PIXELMOOR_VERSION_INCLUDE_DIR}/product_version.h CONTENT [[
/* Made by the build from its version number (cmake/ProductVersion.cmake). */
#define PM_VERSION_MAJOR @PIXELMOOR_VERSION_MAJOR@
#define PM_VERSION_MINOR @PIXELMOOR_VERSION_MINOR@
#define PM_VERSION_TEXT "@PIXELMOOR_VERSION_TEXT@"
#define PM_SETUP_FILE_NAME "pixelmoor-@PIXELMOOR_VERSION_TEXT@-setup-x64.exe"
#define PM_PUBLISHER "@PIXELMOOR_PUBLISHER@"
#define PM_PRODUCT_NAME "@PIXELMOOR_PRODUCTNAME@"
]] @ONLY)
