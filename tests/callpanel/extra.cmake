# The panel runs on the call tests' hand-moved clock.
target_sources(tst_callpanel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/call/callfakes.h)
target_include_directories(tst_callpanel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/call)
