/* placeholder */
#ifndef WINAPI_RESOURCES_H
#define WINAPI_RESOURCES_H

#include "winapi/types.h"

#endif /* WINAPI_RESOURCES_H */
