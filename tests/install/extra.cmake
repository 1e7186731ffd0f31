# The desktop files pass the freedesktop and AppStream validators; the install and the
# Debian package hold a program that starts and seeds the user's data folder.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
find_program(APPSTREAMCLI appstreamcli REQUIRED)

add_test(NAME install/desktop-entry COMMAND ${DESKTOP_FILE_VALIDATE} --no-hints
         ${PROJECT_SOURCE_DIR}/data/${DW_APP_ID}.desktop)
add_test(NAME install/metainfo COMMAND ${APPSTREAMCLI} validate --no-net
         ${PROJECT_BINARY_DIR}/data/${DW_APP_ID}.metainfo.xml)
# desktop-file-validate exits 0 on warnings: they fail the test all the same.
set_tests_properties(install/desktop-entry PROPERTIES FAIL_REGULAR_EXPRESSION "warning|error")

add_test(NAME install/layout-and-package
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/check-install.sh
                 ${PROJECT_BINARY_DIR} ${DW_APP_ID} ${PROJECT_VERSION})
set_tests_properties(install/layout-and-package PROPERTIES ENVIRONMENT "${DW_TEST_ENV}"
                     TIMEOUT 300)
