target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Accelerators.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Classes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DefWindowProc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Focus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Menus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NonClient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/State.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Metrics.cpp)
