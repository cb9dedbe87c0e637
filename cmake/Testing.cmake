# ph_add_test(NAME src... LIBS lib...): one GoogleTest executable whose tests ctest runs one by one.
function(ph_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ph_testsupport GTest::gtest ph_warnings)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# ph_add_bench(NAME src... LIBS lib...): its records start in memory (RecordsInMemory.cpp).
function(ph_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/RecordsInMemory.cpp)
  target_link_libraries(${name} PRIVATE ${B_LIBS} ph_platform benchmark::benchmark ph_warnings)
endfunction()

# ph_add_test_folder(NAME LIBS lib...): one test executable from every .cpp of the current folder.
function(ph_add_test_folder name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(_src)
    ph_add_test(${name} SOURCES ${_src} LIBS ${F_LIBS})
  endif()
endfunction()

# ph_add_bench_folder(NAME LIBS lib...): one benchmark program from every .cpp of the current folder.
function(ph_add_bench_folder name)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(_src)
    ph_add_bench(${name} SOURCES ${_src} LIBS ${F_LIBS})
  endif()
endfunction()
