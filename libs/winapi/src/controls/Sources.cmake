# Sources of src/controls: the standard control classes.
target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComboBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Static.cpp)
