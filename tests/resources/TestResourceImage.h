// The test resources (test.rc) as a linked-in binary resource image, for
// tests that hand it to the platform layer in place of the program's.
#pragma once

#include <cstddef>

extern const unsigned char vexloTestResourceImage[];
extern const std::size_t vexloTestResourceImageSize;
