find_package(GTest REQUIRED)
include(GoogleTest)

# add_unit_test(<name> [OWN_MAIN] SOURCES <files...> LIBRARIES <libs...>): one GoogleTest
# program whose cases CTest lists one by one. OWN_MAIN is for programs that bring their own
# main(), such as widget tests that need a QApplication. Widgets run on Qt's offscreen platform,
# so no display is needed.
function(add_unit_test name)
  cmake_parse_arguments(UNIT "OWN_MAIN" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${UNIT_SOURCES})
  target_link_libraries(${name} PRIVATE ${UNIT_LIBRARIES} GTest::gtest GTest::gmock)
  if(NOT UNIT_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOTCOMMENTS_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
