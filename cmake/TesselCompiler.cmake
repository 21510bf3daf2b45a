# Compiler settings shared by every configuration.

if(WIN32)
  # The architecture of this Windows build, by its name in the package and in
  # the manifest, and the mingw-w64 prefix of the other architecture.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TESSEL_ARCHITECTURE x64)
    set(TESSEL_MANIFEST_ARCHITECTURE amd64)
    set(TESSEL_OTHER_MINGW_PREFIX i686-w64-mingw32)
  else()
    set(TESSEL_ARCHITECTURE x86)
    set(TESSEL_MANIFEST_ARCHITECTURE x86)
    set(TESSEL_OTHER_MINGW_PREFIX x86_64-w64-mingw32)
  endif()

  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(NOT MSVC)
    # SSE2 floating point instead of the i686 default of x87.
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
endif()

if(TESSEL_SANITIZE)
  set(tessel_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${tessel_sanitizers})
  add_link_options(${tessel_sanitizers})
endif()

# Applies -Wall -Wextra -Wshadow -Werror (or MSVC's equivalent) to every target that
# the calling directory and its subdirectories define from here on.
macro(tessel_strict_warnings)
  if(MSVC)
    add_compile_options(/W4 /WX /utf-8)
  else()
    add_compile_options(-Wall -Wextra -Wshadow -Werror)
  endif()
endmacro()

if(TESSEL_BUILD STREQUAL "fuzz")
  # Coverage instrumentation for libFuzzer in every library the targets use.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
