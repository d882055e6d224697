# Writes a delay-import library for one system DLL from the toolchain's
# import library of it (cmake -P; see DelayLoad.cmake).
# Variables: NM, DLLTOOL, DLL (name without .dll), IMPORT_LIBRARY, OUTPUT.
execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols ERROR_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
# Every function the import library names: its import slots are "__imp_<name>".
string(REGEX MATCHALL "[0-9a-fA-F]+ I __imp_[^\n]+" slots "${symbols}")
set(exports)
foreach(slot ${slots})
  string(REGEX REPLACE ".* I __imp_" "" name "${slot}")
  list(APPEND exports "${name}")
endforeach()
list(REMOVE_DUPLICATES exports)
list(SORT exports)
list(LENGTH exports count)
if(count EQUAL 0)
  message(FATAL_ERROR "no exports found in ${IMPORT_LIBRARY}")
endif()
list(JOIN exports "\n" lines)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(def ${folder}/${DLL}.def)
file(WRITE ${def} "LIBRARY ${DLL}.dll\nEXPORTS\n${lines}\n")
# dlltool names the library's members after its process id unless given a
# prefix: a fixed one gives the same library, and so the same setup, on every build.
execute_process(COMMAND ${DLLTOOL} --input-def ${def} --dllname ${DLL}.dll --temp-prefix pm_${DLL}
    --output-delaylib ${OUTPUT}
  WORKING_DIRECTORY ${folder} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not write ${OUTPUT}")
endif()
