// The program's compiled resources (dialog templates, menu, accelerator
// table, icons), linked in as the bytes of a binary resource image. On
// hosts without the platform's libraries the program hands them to the
// platform layer at start-up.
#pragma once

#include <cstddef>

extern const unsigned char vexloResourceImage[];
extern const std::size_t vexloResourceImageSize;
