# Shared build settings for the host (POSIX) and the win32 (mingw) builds.

add_compile_options(-Wall -Wextra -Werror)

if(WIN32)
  set(ZQ_PLATFORM win32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(ZQ_PLATFORM posix)
endif()

if(ZQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzzing build: the library takes the fuzzer's coverage hooks; only the
# harnesses (fuzz/) link the fuzzer itself.
if(ZQ_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ZQ_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Collects the .cpp files of the given folders. Files ending in _win32.cpp or
# _posix.cpp belong to one platform only.
function(zq_sources out)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    foreach(f ${files})
      if(f MATCHES "_(win32|posix)\\.cpp$" AND NOT f MATCHES "_${ZQ_PLATFORM}\\.cpp$")
        continue()
      endif()
      list(APPEND result ${f})
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(zq_platform_libs target)
  if(WIN32)
    target_link_libraries(${target} PUBLIC user32 gdi32 winmm)
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(${target} PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
  endif()
endfunction()

# Makes every program linked with `target` take in the named C functions, even
# when nothing refers to them (a static library's unreferenced objects are
# otherwise left out). i686 Windows gives C names a leading underscore.
function(zq_require_symbols target)
  set(prefix "")
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(prefix "_")
  endif()
  foreach(sym ${ARGN})
    target_link_options(${target} INTERFACE "LINKER:--require-defined=${prefix}${sym}")
  endforeach()
endfunction()
