# The voice-mail machine and the generated voice-mail page must serve the same calls: a
# script tool plays calls through the machine, and a Python driver plays the same calls
# through the page under Wine's cscript (the harness of codegen/wineasp) and compares.
add_executable(dw_voicemailscript ${CMAKE_CURRENT_SOURCE_DIR}/voicemail/voicemailscript.cpp)
target_link_libraries(dw_voicemailscript PRIVATE dw_voicemail)

# A Wine prefix of its own: the page's d: drive is mapped per prefix, and the page test of
# codegen may run at the same time with another mapping.
add_test(NAME voicemail/differential
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/voicemail/test_differential.py
                 --dump $<TARGET_FILE:dw_dumpremotepage>
                 --machine $<TARGET_FILE:dw_voicemailscript>
                 --work ${CMAKE_BINARY_DIR}/voicemail-diff)
set_tests_properties(voicemail/differential PROPERTIES
    ENVIRONMENT "ASP_WINEPREFIX=${CMAKE_BINARY_DIR}/voicemail-wineprefix" TIMEOUT 900)
