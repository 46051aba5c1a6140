# ENTPAT_SANITIZE: everything is built with AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/test-sanitizers). Nothing recovers: the
# first finding ends the program, so the test that ran into it fails.
# ENTPAT_FUZZ: the libFuzzer targets under fuzz/ are built too, when the
# compiler links -fsanitize=fuzzer (clang); the project's code then carries
# the coverage the fuzzer steers by.
option(ENTPAT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ENTPAT_FUZZ "Build the libFuzzer targets (needs ENTPAT_SANITIZE and clang)" OFF)

if(ENTPAT_SANITIZE)
  set(ENTPAT_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${ENTPAT_SANITIZER_FLAGS})
  add_link_options(${ENTPAT_SANITIZER_FLAGS})
endif()

set(ENTPAT_FUZZ_ENABLED OFF)
if(ENTPAT_FUZZ)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
  set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
  check_cxx_source_compiles([[
    #include <cstddef>
    #include <cstdint>
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }
  ]] ENTPAT_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(ENTPAT_HAVE_LIBFUZZER AND ENTPAT_SANITIZE)
    set(ENTPAT_FUZZ_ENABLED ON)
    add_compile_options(-fsanitize=fuzzer-no-link)
  else()
    message(STATUS "Fuzz targets not built: they need ENTPAT_SANITIZE and a compiler with -fsanitize=fuzzer")
  endif()
endif()
