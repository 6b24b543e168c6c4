# Delay-loaded imports of a system DLL that is not one of Windows' KnownDLLs.
#
# A DLL named in the import table is loaded before the program's first line
# runs, and Windows looks for it in the program's folder first, so a file of
# that name placed beside Vemora.exe would be run. A delay-loaded DLL is
# loaded at its first call instead, by name, after wWinMain has limited the
# search to the system folder (SetDefaultDllDirectories).
#
# vemora_delay_load_library(<target> <dll> <import library>) makes the
# INTERFACE target <target> whose users call the DLL's functions as before.
# The list of exports is read from MinGW's own import library, so every
# function it declares keeps linking; dlltool writes the delay-load library
# from it, and libmingwex supplies the loader (__delayLoadHelper2).
include_guard(GLOBAL)

function(vemora_delay_load_library target dll import_library)
  find_library(_import_${target} ${import_library} REQUIRED)
  execute_process(COMMAND ${CMAKE_NM} ${_import_${target}}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot list the symbols of ${_import_${target}}")
  endif()
  string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE " I __imp_" "")
  list(REMOVE_DUPLICATES imports)
  list(SORT imports)
  list(JOIN imports "\n  " exports)

  set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
  set(library ${CMAKE_BINARY_DIR}/delayload/lib${target}.a)
  file(WRITE ${def}.in "LIBRARY ${dll}\nEXPORTS\n  ${exports}\n")
  configure_file(${def}.in ${def} COPYONLY)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${library}
    DEPENDS ${def}
    COMMENT "Delay-load library for ${dll}"
    VERBATIM)
  add_custom_target(${target}_library DEPENDS ${library})
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_library)
  target_link_libraries(${target} INTERFACE ${library})
endfunction()
