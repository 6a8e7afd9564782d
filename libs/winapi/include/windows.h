/* The platform's API surface as this layer provides it: one include for
 * the types, constants, records and calls of the four system libraries.
 * Under RC_INVOKED (resource compilation) only the constants are seen. */
#ifndef WINAPI_WINDOWS_H
#define WINAPI_WINDOWS_H

#include "winapi/types.h"
#include "winapi/kernel.h"
#include "winapi/metrics.h"
#include "winapi/styles.h"
#include "winapi/gdi.h"
#include "winapi/resources.h"
#include "winapi/icons.h"
#include "winapi/user.h"
#include "winapi/clipboard.h"

#endif /* WINAPI_WINDOWS_H */
