target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Shell.cpp)
