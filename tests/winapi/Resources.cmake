# Test sources of the layer's Resources concern: list(APPEND WINAPI_TEST_SOURCES ...).
