# The resource pipeline for hosts without the platform's libraries: icons
# drawn from text by vexlo_icongen, resource scripts compiled by the GNU
# resource compiler into the binary .res format, and each image linked into
# a static library as an array of bytes that the platform layer parses.
include_guard(GLOBAL)

find_program(VEXLO_WINDRES NAMES i686-w64-mingw32-windres x86_64-w64-mingw32-windres windres REQUIRED)
find_program(VEXLO_RC_PREPROCESSOR NAMES cpp REQUIRED)

# vexlo_add_icon(output drawing): makes the .ico (or .cur) file `output`
# from the text drawing `drawing` at build time.
function(vexlo_add_icon output drawing)
    add_custom_command(OUTPUT ${output}
        COMMAND vexlo_icongen ${drawing} ${output}
        DEPENDS vexlo_icongen ${drawing}
        COMMENT "Drawing ${output}"
        VERBATIM)
endfunction()

# vexlo_add_resource_library(name SCRIPT rc SYMBOL symbol
#     [PUBLIC_INCLUDE dir...] [INCLUDE_DIRS dir...] [DEPENDS file...])
# Compiles the resource script with our windows.h (never the toolchain's:
# the preprocessor sees no system headers) and makes the library `name`
# that defines `symbol` (the image's bytes) and `symbol`Size. INCLUDE_DIRS
# are searched for included headers and for icon files; DEPENDS lists the
# files the script loads that the preprocessor does not report, such as
# generated icons.
function(vexlo_add_resource_library name)
    cmake_parse_arguments(ARG "" "SCRIPT;SYMBOL" "PUBLIC_INCLUDE;INCLUDE_DIRS;DEPENDS" ${ARGN})
    set(image ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
    set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.d)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}_image.cpp)
    set(embed ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResourceImage.cmake)
    set(include_args -I ${PROJECT_SOURCE_DIR}/libs/winapi/include)
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        list(APPEND include_args -I ${dir})
    endforeach()
    add_custom_command(OUTPUT ${image}
        COMMAND ${VEXLO_WINDRES}
            --preprocessor=${VEXLO_RC_PREPROCESSOR}
            --preprocessor-arg=-nostdinc
            --preprocessor-arg=-MD --preprocessor-arg=-MF --preprocessor-arg=${depfile}
            --preprocessor-arg=-MT --preprocessor-arg=${image}
            -D RC_INVOKED -c 1252 ${include_args}
            -O res -i ${ARG_SCRIPT} -o ${image}
        DEPENDS ${ARG_SCRIPT} ${ARG_DEPENDS}
        DEPFILE ${depfile}
        COMMENT "Compiling resources ${ARG_SCRIPT}"
        VERBATIM)
    add_custom_command(OUTPUT ${source}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${image} -DOUTPUT=${source} -DSYMBOL=${ARG_SYMBOL} -P ${embed}
        DEPENDS ${image} ${embed}
        COMMENT "Embedding ${name}.res"
        VERBATIM)
    vexlo_add_library(${name} SOURCES ${source} PUBLIC_INCLUDE ${ARG_PUBLIC_INCLUDE})
endfunction()
