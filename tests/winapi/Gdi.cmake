# Test sources of the layer's Gdi concern: list(APPEND WINAPI_TEST_SOURCES ...).
list(APPEND WINAPI_TEST_SOURCES TestGdiObjects.cpp TestFonts.cpp)
