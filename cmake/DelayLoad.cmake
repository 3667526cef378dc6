# A program looks for the libraries it imports in its own folder before the system folder,
# except for the system's known DLLs. The installer is usually started from a downloads
# folder, where anyone may leave a library named like a system one, so the libraries it
# needs that are not known DLLs are reached through delay-load stubs instead: each is loaded
# on its first use, after the program's first statements have restricted the search, and by
# its full path in the system folder (installation/DllSearch.cpp).
#
# quill_delay_load(<target> <dll>...) puts delay-load stub libraries in place of the plain
# import libraries of the named system DLLs in <target>'s link interface, so every program
# that links <target> delay-loads them. The stubs are made at configure time from the
# toolchain's import libraries (their function exports; data cannot be delay-loaded).
function(quill_delay_load target)
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  foreach(dll IN LISTS ARGN)
    set(stubs "${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a")
    _quill_make_delay_stubs(${dll} "${stubs}")
    # An installed library names the plain import library: the stubs stay in this build tree.
    list(TRANSFORM interface REPLACE "^(\\$<LINK_ONLY:)?${dll}>?$"
         "$<BUILD_INTERFACE:${stubs}>$<INSTALL_INTERFACE:${dll}>")
  endforeach()
  set_property(TARGET ${target} PROPERTY INTERFACE_LINK_LIBRARIES "${interface}")
endfunction()

# quill_delay_load_program(<program> <dll>...) delay-loads the named system DLLs in that one
# program, whichever of the libraries it links names them (and the toolchain's default
# libraries too): stubs named like the import libraries, in a folder of the program's own
# that its link searches before the toolchain's. Even known DLLs are worth it: whatever a
# library loads with itself at start (its own imports, what its initialisation loads) is
# looked for beside the program before its first statement could restrict the search.
function(quill_delay_load_program program)
  set(dir "${CMAKE_BINARY_DIR}/delayload/${program}")
  foreach(dll IN LISTS ARGN)
    _quill_make_delay_stubs(${dll} "${dir}/lib${dll}.a")
  endforeach()
  target_link_directories(${program} PRIVATE "${dir}")
endfunction()

function(_quill_make_delay_stubs dll stubs)
  get_filename_component(dir "${stubs}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  find_library(QUILL_IMPORT_LIBRARY_${dll} NAMES lib${dll}.a REQUIRED NO_CACHE)
  execute_process(COMMAND "${CMAKE_NM}" -g --defined-only "${QUILL_IMPORT_LIBRARY_${dll}}"
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL " T [^\n]+" functions "${symbols}")
  list(TRANSFORM functions REPLACE "^ T " "")
  list(JOIN functions "\n" exports)
  file(WRITE "${dir}/${dll}.def" "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def "${dir}/${dll}.def" --dllname ${dll}.dll
                          --output-delaylib "${stubs}"
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()
