/* placeholder */
#ifndef WINAPI_USER_H
#define WINAPI_USER_H

#include "winapi/types.h"

#endif /* WINAPI_USER_H */
