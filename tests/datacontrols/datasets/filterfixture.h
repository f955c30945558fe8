#pragma once
// A closed data set with one field of each type the filter compiler types its
// constants by, and a reader that renders a compiled blob as a tree.

#include <memory>

#include "datacontrols/datasets/dwfilter.h"
#include "tests/support/memdataset.h"

// Fields: CITY and STATE (text), AMOUNT (float), QTY (small integer), COUNT
// (integer), PAID (logical), DUE (date), STAMP (date and time), AT (time), PRICE
// (BCD, scale 2), NOTES (memo).
std::unique_ptr<TMemDataSet> MakeTypedDataSet();

// The blob as a tree: an operator with its operands in parentheses, a field as
// F<number>:<name>, a constant as its type and value ('text', f:1.5, d:<day
// number>, t:<milliseconds>, dt:<milliseconds>, b:T, i:7, s:7, bcd:1.25). Checks
// the header and the field numbering as it reads; "bad blob: ..." when they fail.
String RenderBlob(const TdwFilterBlob& Blob);

// The bytes as hex: the header, one line a node slot, then the literals.
String HexDump(const TdwFilterBlob& Blob);
