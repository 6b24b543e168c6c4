# Settings every Vemora target shares. Targets call vemora_target_defaults()
# instead of the project touching global flags.
#
# VEMORA_WERROR turns every warning into an error; the presets that the test
# command builds (native, native-asan, windows) set it, so a warning fails the
# test run instead of scrolling by.
option(VEMORA_WERROR "Treat compiler warnings as errors" OFF)

function(vemora_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  # -Wconversion: every implicit narrowing is a warning; a narrowing that is
  # meant is written as a cast with the reason it is safe. GCC's -Wconversion
  # leaves sign changes out in C++, clang's takes them in: the clang builds
  # (fuzz targets) check what GCC checks.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion
    $<$<CXX_COMPILER_ID:Clang>:-Wno-sign-conversion>)
  if(VEMORA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(VEMORA_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
    # A static runtime: the .exe then needs no MinGW DLLs beside it.
    target_link_options(${target} PUBLIC -static)
    # Canaries in every function with a local array or an address taken, and
    # MinGW's checked string and memory functions where the size is known
    # (only with optimisation, as in the Release build). Both call into
    # libssp, linked statically by -static like the rest of the runtime.
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    target_compile_definitions(${target} PRIVATE
      $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    target_link_options(${target} PUBLIC -fstack-protector-strong)
    target_link_libraries(${target} PRIVATE ssp)
  endif()
endfunction()
