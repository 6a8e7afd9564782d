# Test sources of the layer's User concern: list(APPEND WINAPI_TEST_SOURCES ...).
list(APPEND WINAPI_TEST_SOURCES
    TestWindows.cpp)
