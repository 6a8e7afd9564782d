target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Assert.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Faults.cpp)
