#pragma once
// The enumerations and small value types of the data-set framework.

#include <functional>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/rtl/types.h"

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsInternalCalc,
};

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

// What GetRecord is asked for, and what it found.
enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };

// What a record buffer holds: a record, the crack before the first or after the
// last record, or a record being inserted.
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = SetOf<TResyncModeItem>;

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = SetOf<TLocateOption>;

enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum TUpdateKind { ukModify, ukInsert, ukDelete };
enum TUpdateAction { uaFail, uaAbort, uaSkip, uaRetry, uaApplied };

// What an error handler tells the failed operation: raise, stop quietly, try again.
enum TDataAction { daFail, daAbort, daRetry };

// What a data set tells its data sources and links.
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    deFocusControl,
};

// A date field's native value counts whole days from 0001-01-01, which is day 1:
// day number = trunc(TDateTime) + DateDelta.
inline constexpr Integer DateDelta = 693594;

// A record buffer: an opaque block of bytes whose layout the descendant defines.
using TRecordBuffer = char*;

// A bookmark: BookmarkSize bytes copied out of a record buffer; empty means none.
using TBookmark = std::vector<Byte>;
