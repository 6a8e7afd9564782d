# Test sources of the layer's User concern: list(APPEND WINAPI_TEST_SOURCES ...).
list(APPEND WINAPI_TEST_SOURCES
    TestDialogs.cpp
    TestFocus.cpp
    TestGeometry.cpp
    TestMenus.cpp
    TestMessageBoxes.cpp
    TestMessages.cpp
    TestWindows.cpp)
list(APPEND WINAPI_TEST_SOURCES TestClipboard.cpp)
# The standard controls.
list(APPEND WINAPI_TEST_SOURCES TestEdit.cpp TestListBox.cpp)
