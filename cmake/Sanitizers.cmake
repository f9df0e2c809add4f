# Sanitizer and fuzzing switches apply to every target, so the core library is
# instrumented the same way as the tests and fuzz targets that link it.
if(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(QUORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORVEL_FUZZ needs clang (configure with CXX=clang++ CC=clang)")
  endif()
  # Everything is built with coverage instrumentation; only the fuzz targets link
  # libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# quorvel_add_fuzzer(NAME SOURCE [LIBS...]): a libFuzzer target, built only with
# QUORVEL_FUZZ=ON.
function(quorvel_add_fuzzer name source)
  if(NOT QUORVEL_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE quorvel_test_support ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  quorvel_warnings(${name})
endfunction()
