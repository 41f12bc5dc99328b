# Windows tests, run by CTest under Wine: the launcher's frame in-process, and the real program.
# The x86_64 build runs one of them, under 64-bit Wine.
set(VELMORA_WINE_ROOT "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Folder for the Wine prefixes of the tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VELMORA_WINEARCH win64)
else()
    set(VELMORA_WINEARCH win32)
endif()
configure_file(scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY FILE_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine sees the build tree through drive Z:.
string(REPLACE "/" "\\" install_dir_windows "Z:${VELMORA_INSTALL_DIR}")

add_library(win_test_harness STATIC tests/win/Harness.cpp tests/win/LauncherSession.cpp)
# Tests call these system DLLs themselves, imported as usual.
target_link_libraries(win_test_harness PUBLIC velmora_app gtest oleacc dsound winmm version)
target_compile_options(win_test_harness PRIVATE ${VELMORA_WARNINGS})

# A test program with the launcher's resources (variant `defines`) linked in.
function(velmora_win_test_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEFINES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} res/Velmora.rc)
    target_link_libraries(${name} PRIVATE win_test_harness gtest_main)
    target_include_directories(${name} PRIVATE ${generated})
    target_compile_definitions(${name} PRIVATE ${ARG_DEFINES})
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${VELMORA_WARNINGS}>)
    add_dependencies(${name} velmora_artwork install_folder version_1007 version_no_translation no_version)
endfunction()

# One CTest test per group of cases and desktop. All of them share the one X display, where the
# virtual desktops of different prefixes would overlap, cover each other's pixels and take each
# other's focus: they take turns.
function(velmora_wine_test name program filter desktop)
    add_test(NAME ${name} COMMAND ${program} --gtest_filter=${filter})
    set_tests_properties(${name} PROPERTIES
        RESOURCE_LOCK wine-display
        TIMEOUT 300
        ENVIRONMENT "VELMORA_DESKTOP=${desktop};VELMORA_INSTALL_DIR=${install_dir_windows}")
endfunction()

# Modules whose version records the version reader is tried on.
add_library(version_1007 SHARED tests/win/modules/Empty.cpp tests/win/modules/Version1007.rc)
add_library(version_no_translation SHARED tests/win/modules/Empty.cpp tests/win/modules/NoTranslation.rc)
set_target_properties(version_1007 version_no_translation PROPERTIES PREFIX "")
add_executable(no_version tests/win/modules/NoVersion.cpp)
# A dsound.dll to plant beside a copy of the launcher, built into a folder of its own so that no test
# program beside it loads it.
add_library(planted_dsound SHARED tests/win/modules/PlantedDsound.cpp)
set_target_properties(planted_dsound PROPERTIES PREFIX "" OUTPUT_NAME dsound
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
target_link_options(planted_dsound PRIVATE -Wl,--kill-at)

# The x86_64 build only keeps the sources building, and proves that screen readers see its buttons
# too. It runs after that build (scripts/test) with 64-bit prefixes of its own.
if(VELMORA_WINEARCH STREQUAL "win64")
    velmora_win_test_program(win_accessible_tests SOURCES tests/win/AccessibleTest.cpp)
    add_dependencies(win_accessible_tests Velmora)
    velmora_wine_test(win64.accessible win_accessible_tests "AccessibleTest.*" 1280x1024)
    set_tests_properties(win64.accessible PROPERTIES FIXTURES_REQUIRED build_x86_64)
    set_property(TEST win64.accessible APPEND PROPERTY ENVIRONMENT "VELMORA_WINE_ROOT=${VELMORA_WINE_ROOT}")
    return()
endif()

velmora_win_test_program(win_shell_tests SOURCES
    tests/win/AboutBoxTest.cpp
    tests/win/HoverSoundTest.cpp
    tests/win/PaletteDisplayTest.cpp
    tests/win/FrameSizeTest.cpp
    tests/win/LaunchTest.cpp
    tests/win/MenuTest.cpp
    tests/win/PlacementTest.cpp
    tests/win/ShellTest.cpp
    tests/win/SplashSequenceTest.cpp)
# Not tests: programs run against the launcher by scripts/bench (view_bench times the view's paint and
# hover step) and scripts/soak (soak_driver drives the real program for a long run).
function(velmora_win_driver name source)
    add_executable(${name} ${source} res/Velmora.rc)
    target_link_libraries(${name} PRIVATE win_test_harness ${ARGN})
    target_include_directories(${name} PRIVATE ${generated})
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${VELMORA_WARNINGS}>)
    add_dependencies(${name} velmora_artwork install_folder)
endfunction()
velmora_win_driver(view_bench bench/ViewBench.cpp)
velmora_win_driver(soak_driver bench/SoakDriver.cpp psapi ntdll)

# The shipped exe's PE headers, read on the build machine.
find_program(VELMORA_OBJDUMP ${MINGW_TRIPLE}-objdump REQUIRED)
add_test(NAME win.pe_imports COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${VELMORA_OBJDUMP} -DEXE=$<TARGET_FILE:Velmora>
    -P ${CMAKE_SOURCE_DIR}/tests/pe/CheckImports.cmake)

# The blitter and RIFF rules' host tests, built as the shipped 32-bit program is. They make no
# window, so they need no desktop and take no turn on the display: a prefix without a virtual desktop.
add_executable(win_rules_tests tests/host/BlitTest.cpp tests/host/RiffWaveTest.cpp)
target_link_libraries(win_rules_tests PRIVATE velmora_rules gtest gtest_main)
target_compile_options(win_rules_tests PRIVATE ${VELMORA_WARNINGS})
add_test(NAME win.rules COMMAND win_rules_tests)
set_tests_properties(win.rules PROPERTIES TIMEOUT 120 ENVIRONMENT "VELMORA_DESKTOP=native")

velmora_win_test_program(win_graphics_tests SOURCES tests/win/DibSurfaceTest.cpp)
velmora_win_test_program(win_unused_slot_tests SOURCES tests/win/AccessibleInProcessTest.cpp tests/win/UnusedSlotTest.cpp
    DEFINES VELMORA_UNUSED_GO)

velmora_wine_test(win.menu win_shell_tests "MenuTest.*" 1024x768)
foreach(desktop 1280x1024 800x600 640x480)
    velmora_wine_test(win.menu.${desktop} win_shell_tests "MenuTest.SizeItems*" ${desktop})
    velmora_wine_test(win.placement.${desktop} win_shell_tests "PlacementTest.*" ${desktop})
endforeach()
velmora_wine_test(win.frame_size win_shell_tests "FrameSizeTest.*" 1024x768)
velmora_wine_test(win.placement win_shell_tests "PlacementTest.*" 1024x768)
velmora_wine_test(win.launch win_shell_tests "LaunchTest.*" 1024x768)
velmora_wine_test(win.shell win_shell_tests "ShellTest.*" 1024x768)
velmora_wine_test(win.about win_shell_tests "AboutBoxTest.*:FileVersionReaderTest.*" 1024x768)
# The start-up sequence runs once per program: one process per case.
foreach(case FirstPicture SecondPicture UnopenableFile ViewWindow BeforeTheFrameWasPlaced)
    velmora_wine_test(win.splash_sequence.${case} win_shell_tests "SplashSequenceTest.*${case}*" 1024x768)
endforeach()
velmora_wine_test(win.unused_slot win_unused_slot_tests "*" 1024x768)
velmora_wine_test(win.graphics win_graphics_tests "*" 1024x768)

# The sound manager against a fake device, and against Wine's DirectSound writing to a file sink.
velmora_win_test_program(win_sound_tests SOURCES tests/win/SoundFakeTest.cpp tests/win/SoundRealTest.cpp
    tests/win/SoundTestWave.rc)
set_source_files_properties(tests/win/SoundTestWave.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/tests/win/SoundTestWave.h")
velmora_wine_test(win.sound_fake win_sound_tests "SoundFake.*:SoundClipFake.*:PeriodicTimer.*" 1024x768)
velmora_wine_test(win.sound_real win_sound_tests "SoundReal.*" 1024x768)
set_tests_properties(win.sound_real PROPERTIES ENVIRONMENT
    "VELMORA_DESKTOP=1024x768;VELMORA_INSTALL_DIR=${install_dir_windows};VELMORA_ALSA_SINK=${CMAKE_BINARY_DIR}/alsa-sink.raw")

velmora_win_test_program(win_end_to_end_tests SOURCES
    tests/win/AccessibleTest.cpp
    tests/win/EndToEndTest.cpp
    tests/win/ViewTest.cpp)
add_dependencies(win_end_to_end_tests Velmora planted_dsound)
string(REPLACE "/" "\\\\" planted_dll_windows "Z:${CMAKE_BINARY_DIR}/planted/dsound.dll")
target_compile_definitions(win_end_to_end_tests PRIVATE VELMORA_PLANTED_DLL="${planted_dll_windows}")
velmora_wine_test(win.end_to_end win_end_to_end_tests "EndToEndTest.*" 1024x768)
velmora_wine_test(win.view win_end_to_end_tests "ViewTest.*" 1280x1024)
velmora_wine_test(win.accessible win_end_to_end_tests "AccessibleTest.*" 1280x1024)
velmora_wine_test(win.hover_sound win_shell_tests "HoverSoundTest.*" 1280x1024)
# On an 8-bit palette display of its own (wine-run starts it).
velmora_wine_test(win.palette_display win_shell_tests "PaletteDisplayTest.*" 1024x768)
set_property(TEST win.palette_display APPEND PROPERTY ENVIRONMENT "VELMORA_DISPLAY_DEPTH=8")
include(cmake/Release.cmake)
