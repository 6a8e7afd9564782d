# Sources of src/gdi, and of the icons and cursors in src/user that are
# built on its bitmaps.
find_package(Freetype REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)

target_sources(winapi PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Bitmaps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FontEngine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Fonts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GdiObjects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Palettes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Pixmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../user/CursorsArtwork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../user/Icons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../user/IconsArtwork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../user/IconsDib.cpp)
target_link_libraries(winapi PRIVATE Freetype::Freetype PkgConfig::FONTCONFIG)
