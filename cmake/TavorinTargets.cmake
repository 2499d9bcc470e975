# One place for the compiler settings every target of the project shares.
function(tavorin_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(TAVORIN_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# tavorin_add_module(NAME SOURCES ... [LIBS ...]): the library of one src/ folder. Sources are
# listed by hand, so a file is part of the build because a line says so.
function(tavorin_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(tavorin_${name} STATIC ${ARG_SOURCES})
  target_include_directories(tavorin_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(tavorin_${name} PUBLIC ${ARG_LIBS})
  tavorin_set_warnings(tavorin_${name})
endfunction()

# tavorin_add_test(NAME SOURCES ... LIBS ...): one GoogleTest executable of a tests/ folder,
# registered with CTest. Tests never see the user's display, settings or files.
function(tavorin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TAVORIN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TAVORIN_SHARED_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
  tavorin_set_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
