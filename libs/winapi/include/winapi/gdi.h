/* placeholder */
#ifndef WINAPI_GDI_H
#define WINAPI_GDI_H

#include "winapi/types.h"

#endif /* WINAPI_GDI_H */
