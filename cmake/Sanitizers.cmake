# BREVANTO_SANITIZE: a comma- or semicolon-separated list of sanitizers (e.g. "address,undefined")
# applied to every target's compile and link options. Undefined behaviour aborts instead of
# recovering, so it fails the test that reached it. The run-time options and the suppressions of
# third-party libraries reach the tests through BREVANTO_SANITIZER_ENVIRONMENT (see tests/).
set(BREVANTO_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined (empty: none)")

set(BREVANTO_SANITIZER_ENVIRONMENT "")
if(BREVANTO_SANITIZE)
  string(REPLACE ";" "," brevanto_sanitizers "${BREVANTO_SANITIZE}")
  set(brevanto_sanitize_flags -fsanitize=${brevanto_sanitizers} -fno-omit-frame-pointer)
  if(brevanto_sanitizers MATCHES "undefined")
    list(APPEND brevanto_sanitize_flags -fno-sanitize-recover=undefined)
  endif()
  # -O1 (after the build type's own level, so it wins): the instrumented build compiles
  # noticeably faster and the suite runs about as fast.
  add_compile_options(${brevanto_sanitize_flags} -O1)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Instrumented code makes g++ 12 warn falsely inside libstdc++'s <regex>.
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
  add_link_options(${brevanto_sanitize_flags})
  message(STATUS "Sanitizers: ${brevanto_sanitizers}")

  set(brevanto_suppressions ${PROJECT_SOURCE_DIR}/tests/sanitizer-suppressions)
  set(BREVANTO_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1"
    "LSAN_OPTIONS=suppressions=${brevanto_suppressions}/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${brevanto_suppressions}/ubsan.supp")
endif()
