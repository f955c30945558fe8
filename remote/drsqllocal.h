#pragma once
// The local SQL library of this build: the nine functions LoadSQLDLL binds,
// over the local SQL engine, each on the engine statement its TSQLObj owns.

#include "platform/rtl/variant.h"
#include "tables/xbe50.h"

class TParam;

const TSqlFunctions& LocalSqlLibrary();
// A statement parameter's value as the local SQL engine binds it.
Variant SqlParamValue(const TParam& Param);
