# Test sources of the layer's Resources concern: list(APPEND WINAPI_TEST_SOURCES ...).
# The tests read the layer's internal resource table, the program's and the
# test resources' compiled images, and the icon drawings in the sources.
list(APPEND WINAPI_TEST_SOURCES TestResources.cpp)
if(NOT TARGET winapi_resources_testing)
    add_library(winapi_resources_testing INTERFACE)
    target_include_directories(winapi_resources_testing INTERFACE ${PROJECT_SOURCE_DIR}/libs/winapi/src)
    target_compile_definitions(winapi_resources_testing INTERFACE VEXLO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
list(APPEND WINAPI_TEST_LINKS vexlo_resources vexlo_test_resources winapi_resources_testing)
