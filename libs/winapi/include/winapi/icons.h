/* placeholder */
#ifndef WINAPI_ICONS_H
#define WINAPI_ICONS_H

#include "winapi/types.h"

#endif /* WINAPI_ICONS_H */
