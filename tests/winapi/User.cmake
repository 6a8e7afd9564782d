# Test sources of the layer's User concern: list(APPEND WINAPI_TEST_SOURCES ...).
list(APPEND WINAPI_TEST_SOURCES
    TestWindows.cpp)
list(APPEND WINAPI_TEST_SOURCES TestClipboard.cpp)
# The standard controls.
list(APPEND WINAPI_TEST_SOURCES TestEdit.cpp)
