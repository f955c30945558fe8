#ifndef XBE_TYPES_H
#define XBE_TYPES_H
/* The engine's C interface types: the Windows integer and pointer types of the
   original calls mapped to fixed widths, so that one header serves the
   library, its callers and the run-time binding table. */

#include <stdint.h>

typedef int16_t XBSHORT; /* work areas, orders, field numbers, modes, codes */
typedef uint16_t XBWORD; /* epoch, memo block size, memo line width */
typedef int32_t XBLONG;  /* record numbers, counts, sizes */
typedef int32_t XBBOOL;  /* truth results: any non-zero value is true */
typedef intptr_t XBPROP; /* pointer-sized property value of xb_SysProp */
typedef uint32_t XBHWND; /* window handle slot, unused on Linux */

/* Called for every recorded error (and, at error level 2, every warning). */
typedef void (*XBERRORFUNC)(int32_t code, const char* text, intptr_t arg);
/* Progress of long operations, 0..100. */
typedef void (*XBGAUGEFUNC)(int32_t percent);

#endif
