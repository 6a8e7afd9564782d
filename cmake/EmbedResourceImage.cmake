# Run as a script (cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P): writes a
# C++ source that defines the bytes of the binary resource image INPUT as
# `SYMBOL` and its length as `SYMBOL`Size. The output is rewritten only when
# it changes, so an unchanged image does not relink anything.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(image_name ${INPUT} NAME)
file(WRITE ${OUTPUT}.new
"// Made at build time from ${image_name}; edit the resource script instead.
#include <cstddef>

extern const unsigned char ${SYMBOL}[];
extern const std::size_t ${SYMBOL}Size;

// The layer reads the image with byte copies, but its records are 32-bit
// aligned within the image, so the start is kept aligned too.
alignas(4) const unsigned char ${SYMBOL}[] = {
    ${bytes}
};
const std::size_t ${SYMBOL}Size = ${size};
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
