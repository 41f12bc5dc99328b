# The release installer made from the install folder with NSIS, and its test under Wine.
# Run with -P it writes a fingerprint of the folder DIR to STAMP, touching STAMP only when the contents
# changed: the install folder is copied afresh on every build, and makensis takes seconds.
if(CMAKE_SCRIPT_MODE_FILE)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${DIR}" "${DIR}/*")
    list(SORT files)
    set(fingerprint "")
    foreach(name IN LISTS files)
        file(SHA256 "${DIR}/${name}" hash)
        string(APPEND fingerprint "${hash} ${name}\n")
    endforeach()
    file(WRITE "${STAMP}.new" "${fingerprint}")
    file(COPY_FILE "${STAMP}.new" "${STAMP}" ONLY_IF_DIFFERENT)
    file(REMOVE "${STAMP}.new")
    return()
endif()

find_program(VELMORA_MAKENSIS makensis)
if(NOT VELMORA_MAKENSIS)
    message(STATUS "makensis not found: no installer, no installer test (scripts/setup installs nsis)")
    return()
endif()

set(velmora_setup ${CMAKE_BINARY_DIR}/release/Velmora-${PROJECT_VERSION}-setup.exe)
set(install_stamp ${CMAKE_BINARY_DIR}/release/install_folder.sha256)
add_custom_target(install_folder_fingerprint
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/release
    COMMAND ${CMAKE_COMMAND} -DDIR=${VELMORA_INSTALL_DIR} -DSTAMP=${install_stamp} -P ${CMAKE_CURRENT_LIST_FILE}
    BYPRODUCTS ${install_stamp}
    VERBATIM)
add_dependencies(install_folder_fingerprint install_folder)
add_custom_command(OUTPUT ${velmora_setup}
    COMMAND ${VELMORA_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${VELMORA_INSTALL_DIR}
        -DOUT_FILE=${velmora_setup} -DICON=${generated}/Velmora.ico ${CMAKE_SOURCE_DIR}/release/Velmora.nsi
    DEPENDS ${install_stamp} ${CMAKE_SOURCE_DIR}/release/Velmora.nsi ${generated}/Velmora.ico
    COMMENT "Making the installer ${velmora_setup}"
    VERBATIM)
add_custom_target(velmora_setup ALL DEPENDS ${velmora_setup})
add_dependencies(velmora_setup install_folder_fingerprint velmora_artwork)

string(REPLACE "/" "\\" setup_windows "Z:${velmora_setup}")
velmora_win_test_program(win_installer_tests SOURCES tests/win/InstallerTest.cpp)
target_link_libraries(win_installer_tests PRIVATE ole32 uuid shell32)
add_dependencies(win_installer_tests velmora_setup)
velmora_wine_test(win.installer win_installer_tests "*" 1024x768)
set_property(TEST win.installer APPEND PROPERTY ENVIRONMENT "VELMORA_SETUP=${setup_windows}")

# The release's signing path, with a certificate the test makes and throws away.
find_program(VELMORA_OSSLSIGNCODE osslsigncode)
find_program(VELMORA_OPENSSL openssl)
if(VELMORA_OSSLSIGNCODE AND VELMORA_OPENSSL)
    add_test(NAME release.signing COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/signing.sh ${CMAKE_SOURCE_DIR}
        ${VELMORA_INSTALL_DIR} ${generated}/Velmora.ico)
    set_tests_properties(release.signing PROPERTIES TIMEOUT 300)
else()
    message(STATUS "osslsigncode or openssl not found: no signing test (scripts/setup installs osslsigncode)")
endif()
