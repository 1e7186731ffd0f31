# The round trips compare generated pages and run the commands, so the flow file tests
# link the generator and the application library too.
target_link_libraries(tst_flowjson PRIVATE dw_app dw_codegen)
