# The call tests run `dialwright call` and compare the call's moves with the generated pages.
add_dependencies(tst_call dialwright)
target_link_libraries(tst_call PRIVATE dw_codegen)
# The fakes are QObjects: moc must see their header.
target_sources(tst_call PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/call/callfakes.h)
