# Windows test programs: GoogleTest built for MinGW from Debian's source tree,
# and vemora_add_windows_test(), which builds a test program and lets CTest run
# it under Wine (through the toolchain's emulator, scripts/wine-run.sh).
include_guard(GLOBAL)

set(VEMORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest source tree (Debian package googletest)")
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VEMORA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# vemora_add_windows_test(<name>
#     SOURCES <files...>
#     [LIBRARIES <targets...>]
#     [LOCALE <unix locale>]       e.g. C.UTF-8 for an English Windows (ANSI
#                                  code page 1252); default zh_CN.UTF-8 (936)
#     [DPIS <dpi...>]              run the program once per display scale, each
#                                  in a Wine prefix with that LogPixels, as the
#                                  entries <name>.dpi<N>; default once at 96
#     [OFFSCREEN]                  the program never shows a window: it draws
#                                  into memory or into hidden windows only
#     [PROPERTIES <ctest properties...>])
# The program links GoogleTest's main and vemora_test_support (QrReadBack.h:
# real decoders for symbols drawn under Wine).
#
# CTest runs each program as one entry, all its tests in one Wine process:
# starting Wine costs about a second, more than most tests. GoogleTest's own
# output names every failing test; GTEST_FILTER in the environment picks tests
# out of an entry. A test therefore cleans up what would disturb the next one
# in its program (windows it made, GDI objects it took, the skin it started).
#
# The shown windows of all programs share one Wine desktop, with one
# foreground window, one keyboard focus and one screen: a program that shows
# windows holds the lock vemora_desktop (a scale of its own has a desktop of
# its own, vemora_desktop_dpi<N>). OFFSCREEN programs hold no lock and run
# beside the others.
function(vemora_add_windows_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OFFSCREEN" "LOCALE" "SOURCES;LIBRARIES;PROPERTIES;DPIS")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} vemora_test_support gmock gtest_main)
  vemora_target_defaults(${name})

  set(dpis ${arg_DPIS})
  if(NOT dpis)
    set(dpis 96)
  endif()
  foreach(dpi IN LISTS dpis)
    set(test ${name})
    set(desktop vemora_desktop)
    if(arg_DPIS)
      set(test ${name}.dpi${dpi})
    endif()
    if(NOT dpi EQUAL 96)
      set(desktop vemora_desktop_dpi${dpi})
    endif()
    add_test(NAME ${test} COMMAND ${name})
    set(environment VEMORA_WINE_DPI=${dpi})
    if(arg_LOCALE)
      list(APPEND environment VEMORA_WINE_LOCALE=${arg_LOCALE})
    endif()
    set_tests_properties(${test} PROPERTIES TIMEOUT 600 ${arg_PROPERTIES})
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${environment})
    if(NOT arg_OFFSCREEN)
      set_property(TEST ${test} APPEND PROPERTY RESOURCE_LOCK ${desktop})
    endif()
  endforeach()
endfunction()
