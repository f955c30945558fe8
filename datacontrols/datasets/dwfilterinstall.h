#pragma once
// Installing filters on a library data set: a filter text compiled into an
// expression, or handed to the engine for a table its own driver serves, and
// record callbacks. The caller keeps the filter handle between calls.

#include "datacontrols/datasets/dwcursorfilters.h"
#include "platform/rtl/types.h"

class TDataSet;

// Installs Text as the data set's filter, replacing the filter of FilterHandle; an
// empty or blank text removes it. Nothing is done on an inactive data set unless
// Force. True when the filter is in place (or nothing was to be done), and the data
// set is refreshed; false when the text does not compile (the compiler has said
// why) or cannot be installed: the filter of FilterHandle then stays in force and
// FilterHandle keeps it.
bool dwFilterInstall(const String& Text, TDataSet* DataSet, TdwFilterHandle& FilterHandle, bool Force);
// Installs Callback as a record filter in place of the filter of FilterHandle, or
// only removes that filter when Callback is empty.
bool dwFilterInstallCallback(const TdwRecordFilterCallback& Callback, TDataSet* DataSet,
                             TdwFilterHandle& FilterHandle);
// Drops the filter of FilterHandle, when there is one, and sets it to 0.
void dwFilterDrop(TDataSet* DataSet, TdwFilterHandle& FilterHandle);
