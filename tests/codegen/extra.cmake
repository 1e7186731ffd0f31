# The voice-mail page is run, not only compared: a dump tool writes the generated page
# and a Python driver plays whole calls through it under Wine's cscript (see wineasp/).
# The calls run through the page and through its VoiceXML service side by side: some 500
# visits of a Wine process each, a few minutes on a busy machine.
add_executable(dw_dumpremotepage ${CMAKE_CURRENT_SOURCE_DIR}/codegen/wineasp/dumpremotepage.cpp)
target_link_libraries(dw_dumpremotepage PRIVATE dw_codegen)

add_test(NAME codegen/remote_wine
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/codegen/wineasp/test_remotevxml.py
                 --dump $<TARGET_FILE:dw_dumpremotepage>
                 --work ${CMAKE_BINARY_DIR}/wineasp-work)
set_tests_properties(codegen/remote_wine PROPERTIES
    ENVIRONMENT "ASP_WINEPREFIX=${CMAKE_BINARY_DIR}/wineasp-prefix;ASAN_OPTIONS=detect_leaks=0"
    TIMEOUT 1800)

