# Windows test programs: GoogleTest built for MinGW from Debian's source tree,
# and vemora_add_windows_test(), which builds a test program and lets CTest run
# each of its tests under Wine (through the toolchain's emulator,
# scripts/wine-run.sh).
include_guard(GLOBAL)
include(GoogleTest)

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
#     [DPIS <dpi...>]              run every test once per display scale, each
#                                  in a Wine prefix with that LogPixels, named
#                                  dpi<N>.<suite>.<test>; default once at 96
#     [PROPERTIES <ctest properties...>])
# The program links GoogleTest's main and vemora_test_support (QrReadBack.h:
# real decoders for symbols drawn under Wine). Every test runs in its own
# Wine process, so tests may leave windows or GDI objects behind.
function(vemora_add_windows_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LOCALE" "SOURCES;LIBRARIES;PROPERTIES;DPIS")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} vemora_test_support gmock gtest_main)
  vemora_target_defaults(${name})
  set(properties TIMEOUT 600)
  if(arg_LOCALE)
    list(APPEND properties ENVIRONMENT "VEMORA_WINE_LOCALE=${arg_LOCALE}")
  endif()
  if(NOT arg_DPIS)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES ${properties} ${arg_PROPERTIES})
  endif()
  foreach(dpi IN LISTS arg_DPIS)
    gtest_discover_tests(${name}
      TEST_PREFIX "dpi${dpi}."
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES ${properties} ENVIRONMENT_MODIFICATION "VEMORA_WINE_DPI=set:${dpi}"
                 ${arg_PROPERTIES})
  endforeach()
endfunction()
