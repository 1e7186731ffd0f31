# The voice-mail machine and the generated voice-mail page must serve the same calls: a
# script tool plays calls through the machine, and a Python driver plays the same calls
# through the page under Wine's cscript (the harness of codegen/wineasp) and compares.
add_executable(dw_voicemailscript ${CMAKE_CURRENT_SOURCE_DIR}/voicemail/voicemailscript.cpp)
target_link_libraries(dw_voicemailscript PRIVATE dw_voicemail)
