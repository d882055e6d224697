# Delay-import libraries for the setup, so that it binds no DLL but kernel32
# and the C runtime when it starts: every other system DLL is loaded on its
# first call, after start-up has limited the DLL search to the system folder.
# A DLL bound at start would be looked for beside the executable first,
# where a planted copy (an installer runs from a downloads folder) wins.
#
# Each library is made from the toolchain's own import library: its exports
# become a module-definition file, and dlltool writes the delay-import
# library under the same name into one folder.
#
# pm_link_delay_loaded(<target>)
#   Puts that folder first in the target's library search path, so that every
#   -l<dll> of its link line, the compiler's default ones included, binds
#   the DLL on first use.

set(PIXELMOOR_DELAY_LOADED_DLLS
  user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32 comdlg32 shlwapi uxtheme version winspool imm32)
set(PIXELMOOR_DELAY_IMPORT_DIR ${CMAKE_BINARY_DIR}/delay-import)

set(delay_import_libraries)
foreach(dll ${PIXELMOOR_DELAY_LOADED_DLLS})
  find_library(PIXELMOOR_IMPORT_LIB_${dll} NAMES lib${dll}.a REQUIRED NO_CACHE)
  set(out ${PIXELMOOR_DELAY_IMPORT_DIR}/lib${dll}.a)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DDLL=${dll}
      -DIMPORT_LIBRARY=${PIXELMOOR_IMPORT_LIB_${dll}} -DOUTPUT=${out}
      -P ${CMAKE_SOURCE_DIR}/cmake/make_delay_import.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/make_delay_import.cmake ${PIXELMOOR_IMPORT_LIB_${dll}}
    COMMENT "Delay-import library for ${dll}.dll"
    VERBATIM)
  list(APPEND delay_import_libraries ${out})
endforeach()
add_custom_target(pm_delay_import_libraries DEPENDS ${delay_import_libraries})

function(pm_link_delay_loaded target)
  target_link_directories(${target} BEFORE PRIVATE ${PIXELMOOR_DELAY_IMPORT_DIR})
  add_dependencies(${target} pm_delay_import_libraries)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${delay_import_libraries})
endfunction()
