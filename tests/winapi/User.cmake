# Test sources of the layer's User concern: list(APPEND WINAPI_TEST_SOURCES ...).
list(APPEND WINAPI_TEST_SOURCES
    TestDialogs.cpp
    TestFocus.cpp
    TestGeometry.cpp
    TestMenus.cpp
    TestMessageBoxes.cpp
    TestMessages.cpp
    TestWindows.cpp)
# The layer's entry point, run as a program of its own.
add_executable(winapi_main_probe MainProbe.cpp)
vexlo_set_warnings(winapi_main_probe)
winapi_link_program(winapi_main_probe RESOURCES vexlo_resources)
add_test(NAME WinapiMain.CallsWinMainAsThePlatformsStartUpDoes COMMAND winapi_main_probe one "two words" three)
list(APPEND WINAPI_TEST_SOURCES TestClipboard.cpp)
# The standard controls.
list(APPEND WINAPI_TEST_SOURCES TestButton.cpp TestComboBox.cpp TestControlsDialog.cpp TestEdit.cpp TestListBox.cpp)
