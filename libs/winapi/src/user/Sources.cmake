target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Metrics.cpp)
