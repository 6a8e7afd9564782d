# Test sources of the layer's Gdi concern: list(APPEND WINAPI_TEST_SOURCES ...).
# The icon tests load the program's and the test resources' icons and read
# their drawings from the sources.
list(APPEND WINAPI_TEST_SOURCES TestGdiObjects.cpp TestFonts.cpp TestIcons.cpp)
list(APPEND WINAPI_TEST_LINKS vexlo_resources vexlo_test_resources)
set_property(SOURCE TestIcons.cpp APPEND PROPERTY COMPILE_DEFINITIONS VEXLO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
