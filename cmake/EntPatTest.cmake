# One Qt Test executable per area, always registered with CTest, always headless.
#   entpat_add_test(tst_name SOURCES a.cpp ... LIBS lib ... [TIMEOUT seconds])
function(entpat_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(ENTPAT_SANITIZE)
    # The sanitizers make every program two to three times slower.
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
