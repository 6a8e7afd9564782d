# Sources of src/host: the host interface (backends, input, observers) in
# the layer itself, and the program entry point as the library winapi_main.
target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Host.cpp)

add_library(winapi_main STATIC ${CMAKE_CURRENT_LIST_DIR}/Main.cpp)
vexlo_set_warnings(winapi_main)
target_link_libraries(winapi_main PUBLIC winapi)

# winapi_link_program(target [RESOURCES library]): a program on the layer
# gets its main() from winapi_main. main() refers to the resource image only
# weakly, which would not pull the image out of its library, so the image
# symbol is asked for by name.
function(winapi_link_program target)
    cmake_parse_arguments(ARG "" "RESOURCES" "" ${ARGN})
    target_link_libraries(${target} PRIVATE winapi_main)
    if(ARG_RESOURCES)
        target_link_libraries(${target} PRIVATE ${ARG_RESOURCES})
        target_link_options(${target} PRIVATE "LINKER:--undefined=vexloResourceImage")
    endif()
endfunction()
