# The checker's tests also drive its panel, the window's check and `dialwright check`.
target_link_libraries(tst_checker PRIVATE dw_app)
