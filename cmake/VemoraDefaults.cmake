# Settings every Vemora target shares. Targets call vemora_target_defaults()
# instead of the project touching global flags.
function(vemora_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(VEMORA_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
    # A static runtime: the .exe then needs no MinGW DLLs beside it.
    target_link_options(${target} PUBLIC -static)
  endif()
endfunction()
