# Each folder under src/ is one static library made of every .cpp in it, so that
# adding a file never means editing a build list. Dependencies are declared in each
# folder, downwards only: model <- codegen; ui/speech <- editor/properties/members/viewer
# <- app.
function(dw_module name)
    cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(GLOB resources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    if(sources)
        add_library(dw_${name} STATIC ${sources} ${headers} ${resources})
        target_include_directories(dw_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(dw_${name} PUBLIC ${M_DEPS})
        target_compile_definitions(dw_${name} PUBLIC QT_NO_FOREACH
                                   DW_VERSION="${PROJECT_VERSION}")
    else()
        # A folder whose sources have not been written yet still offers its headers.
        add_library(dw_${name} INTERFACE)
        target_include_directories(dw_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(dw_${name} INTERFACE ${M_DEPS})
    endif()
endfunction()
