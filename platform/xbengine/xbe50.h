#ifndef XBE50_H
#define XBE50_H
/* The xBase engine's C interface (libxbe50.so). Texts are zero-terminated
   Windows-1252 strings; text results belong to the engine and stay valid
   until the next engine call, except xb_GetMemo's block, which the caller
   returns with xb_MemDealloc. No function throws: a failure returns the
   empty value and records an error code and text (xbx_LastError). */

#include "platform/xbengine/xbe_types.h"

#if defined(XBE_BUILDING_LIBRARY)
#define XBE_EXPORT __attribute__((visibility("default")))
#else
#define XBE_EXPORT
#endif

/* Error codes recorded by every failing call. */
enum {
    XBE_OK = 0,
    XBE_E_NOT_FOUND = 1,    /* missing table, memo or index file */
    XBE_E_IN_USE = 2,       /* open-mode conflict, target of a creation in use */
    XBE_E_ACCESS = 3,       /* no permission, read-only file system */
    XBE_E_BAD_HEADER = 4,   /* not a table this engine reads */
    XBE_E_CORRUPT_DATA = 5, /* record count beyond the file, bad memo reference */
    XBE_E_CORRUPT_INDEX = 6,
    XBE_E_EXPR = 7,
    XBE_E_NO_AREA = 8, /* call on an unused work area */
    XBE_E_NO_ORDER = 9,
    XBE_E_BAD_ORDER = 10,
    XBE_E_READ_ONLY = 11,
    XBE_E_EXCLUSIVE = 12, /* operation needs an exclusive open */
    XBE_E_LOCK = 13,      /* lock time-out, record locked elsewhere */
    XBE_E_EOF = 14,       /* write on the end-of-file record */
    XBE_E_FIELD = 15,     /* unknown field, invalid field definition */
    XBE_E_OVERFLOW = 16,  /* value does not fit the field */
    XBE_E_IO = 17,
    XBE_E_UNSUPPORTED = 18,
    XBE_E_NO_DEFINITION = 19, /* xb_CreateField/xb_CreateExec without xb_CreateNew */
    XBE_E_LIMIT = 20,         /* too many work areas or fields, record too long */
    XBE_E_NOT_YET = 21        /* a function not available in this build yet */
};

/* Property numbers of xb_SysProp. A plain number reads a setting (non-zero =
   on); its "SET" partner stores the value given (non-zero = on) and returns
   the setting it replaced. The order properties read the current table's
   order named by the value, 0 for the active one. */
enum {
    /* keys compare over their full length */
    XBE_PROP_EXACT = 1002,
    XBE_PROP_SET_EXACT = 1003,
    /* deleted records hidden */
    XBE_PROP_DELETED = 1006,
    XBE_PROP_SET_DELETED = 1007,
    XBE_PROP_OPTIMISTIC_BUFFER = 1008,
    XBE_PROP_SET_OPTIMISTIC_BUFFER = 1009,
    /* tables opened from now on sync what they write */
    XBE_PROP_DURABLE_WRITES = 1010,
    XBE_PROP_SET_DURABLE_WRITES = 1011,
    /* memo blocks written with their header */
    XBE_PROP_BLOB_HEADER = 1304,
    XBE_PROP_SET_BLOB_HEADER = 1305,
    /* open orders of the current table */
    XBE_PROP_ORDER_COUNT = 3000,
    XBE_PROP_ORDER_DESCENDING = 3002,
    XBE_PROP_ORDER_UNIQUE = 3004,
    /* the current table's writes from now on make one change, written and
       synced at the group's end */
    XBE_PROP_BEGIN_GROUP = 3010,
    XBE_PROP_END_GROUP = 3011
};

#ifdef __cplusplus
extern "C" {
#endif

#define XBE_FUNCTION(name, result, parameters, tier) XBE_EXPORT result xb_##name parameters;
#include "platform/xbengine/xbe_functions.def"
#undef XBE_FUNCTION

/* Extensions, bound apart from the 144 functions above. */
XBE_EXPORT int32_t xbx_LastError(void);            /* code of the last recorded error, 0 after a clean call */
XBE_EXPORT const char* xbx_LastErrorText(void);    /* its text, "" after a clean call */
XBE_EXPORT XBBOOL xbx_FileInUse(const char* path); /* some open of the file, in any process, holds it */
XBE_EXPORT void
xbx_SetCacheBudget(int64_t bytes); /* memory each table opened from now on may keep of its files */

#ifdef __cplusplus
}
#endif

#endif
