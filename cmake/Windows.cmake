# Windows build: the launcher, the stand-in games, the install folder and the Windows tests.
enable_language(RC)

set(VELMORA_HOST_TOOLS "" CACHE PATH "Folder with the natively built tools (make_icon, make_artwork, make_sounds)")
set(VELMORA_INSTALL_DIR "${CMAKE_BINARY_DIR}/Velmora" CACHE PATH "Folder the launcher and its games are assembled in")
if(NOT VELMORA_HOST_TOOLS)
    message(FATAL_ERROR "Set VELMORA_HOST_TOOLS to the native build folder that holds make_icon")
endif()

set(generated ${CMAKE_BINARY_DIR}/generated)
configure_file(res/version.h.in ${generated}/version.h @ONLY)

# The pictures: the icon, and the surface and start-up pictures with the .rc lines that list them,
# drawn by the native tools. make_artwork names its files from the picture ids; a new make_artwork
# configures again, as its list may have changed.
find_file(VELMORA_ARTWORK_FONT DejaVuSans-Bold.ttf PATHS /usr/share/fonts/truetype/dejavu
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(make_artwork ${VELMORA_HOST_TOOLS}/make_artwork)
execute_process(COMMAND ${make_artwork} --list ${generated}/artwork-files.txt RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${make_artwork} could not list the pictures: build the native tools first")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${make_artwork})
file(STRINGS ${generated}/artwork-files.txt pictures)
list(TRANSFORM pictures PREPEND ${generated}/)
set(artwork_files ${generated}/artwork.rc ${pictures})
add_custom_command(OUTPUT ${generated}/Velmora.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${VELMORA_HOST_TOOLS}/make_icon ${generated}/Velmora.ico
    DEPENDS ${VELMORA_HOST_TOOLS}/make_icon
    VERBATIM)
add_custom_command(OUTPUT ${artwork_files}
    COMMAND ${make_artwork} ${generated} ${VELMORA_ARTWORK_FONT}
    DEPENDS ${make_artwork}
    VERBATIM)
add_custom_target(velmora_artwork DEPENDS ${generated}/Velmora.ico ${artwork_files})
set_source_files_properties(res/Velmora.rc PROPERTIES OBJECT_DEPENDS
    "${generated}/Velmora.ico;${generated}/version.h;${artwork_files};${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/PictureIds.h;${CMAKE_SOURCE_DIR}/framework/AfxRes.h;${CMAKE_SOURCE_DIR}/res/Velmora.manifest")

# The system DLLs that Windows does not keep as KnownDLLs are delay-loaded: a static import would be
# looked for in the launcher's own folder, where anyone who can write there could plant one, before
# WinMain has limited the search to the system folder. Listed here are the functions the program calls
# (with their i686 argument bytes); dlltool makes the delay-import libraries at configure time.
find_program(VELMORA_DLLTOOL ${MINGW_TRIPLE}-dlltool REQUIRED)
function(velmora_delay_import target dll)
    set(folder "${CMAKE_BINARY_DIR}/delay-imports")
    set(definitions "LIBRARY ${dll}\nEXPORTS\n")
    foreach(function ${ARGN})
        if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
            string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
        endif()
        string(APPEND definitions "${function}\n")
    endforeach()
    file(WRITE "${folder}/${target}.def" "${definitions}")
    execute_process(COMMAND ${VELMORA_DLLTOOL} --kill-at --input-def "${folder}/${target}.def" --dllname ${dll}
                            --output-delaylib "${folder}/lib${target}.a"
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "dlltool could not make the delay-import library of ${dll}")
    endif()
    add_library(${target} STATIC IMPORTED)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${folder}/lib${target}.a")
endfunction()
velmora_delay_import(delay_dsound dsound.dll DirectSoundCreate@12)
velmora_delay_import(delay_oleacc oleacc.dll CreateStdAccessibleObject@16 LresultFromObject@12)
velmora_delay_import(delay_version version.dll GetFileVersionInfoA@16 GetFileVersionInfoSizeA@8 VerQueryValueA@16)
velmora_delay_import(delay_winmm winmm.dll timeKillEvent@4 timeSetEvent@20)

add_library(velmora_framework STATIC
    framework/CmdTarget.cpp
    framework/Dialog.cpp
    framework/Document.cpp
    framework/FrameWnd.cpp
    framework/String.cpp
    framework/WinApp.cpp
    framework/Wnd.cpp)
target_link_libraries(velmora_framework PUBLIC velmora_rules comdlg32 shell32 delay_version)
target_compile_definitions(velmora_framework PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_library(velmora_graphics STATIC graphics/DibSurface.cpp)
target_link_libraries(velmora_graphics PUBLIC velmora_framework gdi32)

add_library(velmora_sound STATIC sound/PeriodicTimer.cpp sound/SoundClip.cpp sound/WaveImage.cpp sound/ZibSound.cpp)
# winmm's header declares its functions as imported, which would call them through an import slot that a
# delay-import library leaves empty; declared plainly, they are called through its loading thunks.
set_source_files_properties(sound/PeriodicTimer.cpp PROPERTIES COMPILE_DEFINITIONS _WINMM_)
target_link_libraries(velmora_sound PUBLIC velmora_framework delay_dsound delay_winmm)

add_library(velmora_app STATIC
    app/AboutBox.cpp
    app/FileVersionReader.cpp
    app/LauncherApp.cpp
    app/LauncherDoc.cpp
    app/MainFrame.cpp
    view/LauncherAccessible.cpp
    view/LauncherView.cpp
    view/SplashPictureWnd.cpp)
# The accessible view: Active Accessibility and the COM it is handed over with (system DLLs).
target_link_libraries(velmora_app PUBLIC velmora_framework velmora_graphics velmora_sound delay_oleacc ole32 oleaut32 uuid)
foreach(target velmora_framework velmora_graphics velmora_sound velmora_app)
    target_compile_options(${target} PRIVATE ${VELMORA_WARNINGS})
endforeach()

# The launcher; `defines` choose a variant of its resources (tests use one with an unused slot).
function(velmora_launcher name)
    add_executable(${name} WIN32 app/Main.cpp res/Velmora.rc)
    target_link_libraries(${name} PRIVATE velmora_app)
    # Terminal-Server-aware, address-space randomised, no execution from data pages.
    target_link_options(${name} PRIVATE -Wl,--tsaware -Wl,--dynamicbase -Wl,--nxcompat)
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${VELMORA_WARNINGS}>)
    target_include_directories(${name} PRIVATE ${generated})
    target_compile_definitions(${name} PRIVATE ${ARGN})
    add_dependencies(${name} velmora_artwork)
endfunction()
velmora_launcher(Velmora)

add_executable(standin_game WIN32 games/StandIn.cpp)
target_compile_options(standin_game PRIVATE ${VELMORA_WARNINGS})

# The install folder: the launcher beside the twelve game folders, as a user would have it.
set(velmora_games backgammon bridge checkers chess chinesechess dominoes fourinaline go gomoku reversi shogi taipei)
set(assemble_commands COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velmora> ${VELMORA_INSTALL_DIR}/Velmora.exe)
foreach(game ${velmora_games})
    list(APPEND assemble_commands
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:standin_game> ${VELMORA_INSTALL_DIR}/${game}/${game}.exe)
endforeach()
# The interface sounds are generated straight into the install folder's Sounds.
list(APPEND assemble_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_INSTALL_DIR}/Sounds
    COMMAND ${VELMORA_HOST_TOOLS}/make_sounds ${VELMORA_INSTALL_DIR}/Sounds)
add_custom_target(install_folder ALL ${assemble_commands} DEPENDS Velmora standin_game VERBATIM)

include(cmake/WindowsTests.cmake)

# Captures the running program for scripts/run and the documentation.
add_executable(screenshot tools/Screenshot.cpp)
target_link_libraries(screenshot PRIVATE gdi32)
target_compile_options(screenshot PRIVATE ${VELMORA_WARNINGS})
