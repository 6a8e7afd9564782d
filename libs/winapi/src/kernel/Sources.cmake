target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ErrorTexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormatMessage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Memory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/System.cpp)
