# The colour command is a thin part of the application; build it in rather than linking the
# whole application library, so that the viewer's tests do not wait on other folders.
target_sources(tst_colourcommand PRIVATE ${PROJECT_SOURCE_DIR}/src/app/colourcommand.cpp)
