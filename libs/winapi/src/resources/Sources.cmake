# Sources of src/resources: the module's resource table and its calls.
target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ResourceCalls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Templates.cpp)
