/* placeholder */
#ifndef WINAPI_STYLES_H
#define WINAPI_STYLES_H

#include "winapi/types.h"

#endif /* WINAPI_STYLES_H */
