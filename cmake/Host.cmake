# Native build: the tools the Windows build runs, and the host unit tests.
add_executable(make_icon tools/make_icon.cpp)
target_compile_options(make_icon PRIVATE ${VELMORA_WARNINGS})

find_package(GTest REQUIRED)
add_executable(host_tests
    tests/host/LaunchRulesTest.cpp
    tests/host/ScreenSizesTest.cpp
    tests/host/TextCompareTest.cpp)
target_link_libraries(host_tests PRIVATE velmora_rules GTest::gtest GTest::gtest_main)
target_compile_options(host_tests PRIVATE ${VELMORA_WARNINGS})
include(GoogleTest)
gtest_discover_tests(host_tests)
