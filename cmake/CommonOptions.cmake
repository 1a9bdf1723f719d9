# Options shared by every target of the project.
add_library(photoledger_options INTERFACE)
target_compile_features(photoledger_options INTERFACE cxx_std_20)
target_compile_options(photoledger_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(photoledger_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS)
target_include_directories(photoledger_options INTERFACE ${CMAKE_SOURCE_DIR})

# add_photoledger_test(NAME SOURCES... LIBS ...): one GoogleTest program, registered with CTest.
function(add_photoledger_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE photoledger_options ${T_LIBS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PHOTOLEDGER_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
