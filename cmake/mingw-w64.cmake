# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
# Test programs run under Wine through scripts/wine-run.sh, which CMake uses
# as the emulator for CTest and for the programs the build runs (the icon).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_vemora_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_vemora_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_vemora_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_vemora_triplet}-windres)

# Look for libraries and headers only in the MinGW sysroot, programs on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_vemora_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each build tree gets its own Wine prefix and X display under <build>/wine, so
# parallel build trees never share (or clobber) a Wine server.
get_filename_component(_vemora_source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_vemora_source_dir}/scripts/wine-run.sh;--state;${CMAKE_BINARY_DIR}/wine")
