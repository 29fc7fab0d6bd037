# Flags shared by every target of both builds.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# The program's literals are Windows-1252 bytes in both builds.
add_compile_options(-Wall -Wextra -Wshadow -Wconversion -Werror -fexec-charset=CP1252)

if(WIN32)
  # C99-conformant printf in the Windows runtime, so both builds format alike.
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp -s)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
else()
  option(KAVRIN_SANITIZE "Build native code with ASan and UBSan" ON)
  if(KAVRIN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()
