# Native build: the tools the Windows build runs, and the host unit tests.
add_executable(make_icon tools/make_icon.cpp)
target_compile_options(make_icon PRIVATE ${VELMORA_WARNINGS})

# The launcher's two interface sounds.
add_executable(make_sounds tools/make_sounds.cpp)
target_compile_options(make_sounds PRIVATE ${VELMORA_WARNINGS})

find_package(Freetype REQUIRED)
add_executable(make_artwork
    tools/make_artwork.cpp
    tools/artwork/Buttons.cpp
    tools/artwork/Canvas.cpp
    tools/artwork/Font.cpp
    tools/artwork/Palette.cpp
    tools/artwork/Scenes.cpp)
target_include_directories(make_artwork PRIVATE ${CMAKE_SOURCE_DIR}/tools ${CMAKE_SOURCE_DIR})
target_link_libraries(make_artwork PRIVATE Freetype::Freetype)
target_compile_options(make_artwork PRIVATE ${VELMORA_WARNINGS})

# The generated pictures checked for what the launcher relies on (layout, shared table, transparent surround).
add_executable(check_artwork tools/artwork/check_artwork.cpp)
target_include_directories(check_artwork PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(check_artwork PRIVATE ${VELMORA_WARNINGS})
find_file(VELMORA_ARTWORK_FONT DejaVuSans-Bold.ttf PATHS /usr/share/fonts/truetype/dejavu REQUIRED)
add_test(NAME artwork_generate COMMAND make_artwork ${CMAKE_BINARY_DIR}/artwork_test ${VELMORA_ARTWORK_FONT})
add_test(NAME artwork_check COMMAND check_artwork ${CMAKE_BINARY_DIR}/artwork_test)
set_tests_properties(artwork_generate PROPERTIES FIXTURES_SETUP artwork)
set_tests_properties(artwork_check PROPERTIES FIXTURES_REQUIRED artwork)

find_package(GTest REQUIRED)
add_executable(host_tests
    tests/host/BlitTest.cpp
    tests/host/ButtonLayoutTest.cpp
    tests/host/KeyboardRuleTest.cpp
    tests/host/LaunchRulesTest.cpp
    tests/host/PaletteRulesTest.cpp
    tests/host/PictureIdsTest.cpp
    tests/host/RiffWaveTest.cpp
    tests/host/ScreenSizesTest.cpp
    tests/host/TextCompareTest.cpp)
target_link_libraries(host_tests PRIVATE velmora_rules GTest::gtest GTest::gtest_main)
target_compile_options(host_tests PRIVATE ${VELMORA_WARNINGS})
include(GoogleTest)
gtest_discover_tests(host_tests)

# The blitter benchmark, with SDL2 as the peer; optional because it needs both libraries.
if(VELMORA_BENCH)
    find_package(benchmark REQUIRED)
    find_package(SDL2 REQUIRED)
    add_executable(blit_bench bench/BlitBench.cpp)
    target_link_libraries(blit_bench PRIVATE velmora_rules benchmark::benchmark SDL2::SDL2)
    target_compile_options(blit_bench PRIVATE ${VELMORA_WARNINGS})
endif()

# The tree stays as clang-format lays it out. Layouts differ between clang-format versions, so the check
# runs with the version the tree was formatted with.
find_program(VELMORA_CLANG_FORMAT NAMES clang-format-14 clang-format)
if(VELMORA_CLANG_FORMAT)
    execute_process(COMMAND ${VELMORA_CLANG_FORMAT} --version OUTPUT_VARIABLE clang_format_version)
endif()
if(clang_format_version MATCHES "version 14\\.")
    add_test(NAME format COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
        -DCLANG_FORMAT=${VELMORA_CLANG_FORMAT} -P ${CMAKE_SOURCE_DIR}/tests/format/CheckFormat.cmake)
else()
    message(STATUS "clang-format 14 not found: no format check (scripts/setup installs clang-format)")
endif()
