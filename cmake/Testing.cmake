# ph_add_test(NAME src... LIBS lib...): one GoogleTest executable whose tests ctest runs one by one.
function(ph_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ph_testsupport GTest::gtest ph_warnings)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# ph_add_bench(NAME src... LIBS lib...)
function(ph_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark ph_warnings)
endfunction()

# ph_add_library(NAME ROOT dir INCLUDE dir... DIRS dir... DEPS lib...): a static library built from
# every .cpp in DIRS (relative to the current folder). Until a folder has code, the target is an
# interface library so that dependants can already name it.
function(ph_add_library name)
  cmake_parse_arguments(L "" "" "INCLUDE;DIRS;DEPS" ${ARGN})
  set(_src "")
  foreach(d ${L_DIRS})
    file(GLOB _s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
    list(APPEND _src ${_s})
  endforeach()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${L_INCLUDE})
    target_link_libraries(${name} PUBLIC ${L_DEPS} PRIVATE ph_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${L_INCLUDE})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
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
