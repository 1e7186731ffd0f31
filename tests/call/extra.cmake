# The call tests run `dialwright call` and compare the call's moves with the generated pages.
add_dependencies(tst_call dialwright)
target_link_libraries(tst_call PRIVATE dw_codegen)
