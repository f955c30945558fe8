#pragma once
// Evaluates a compiled filter blob over the current record of a data set. The blob's
// field nodes are resolved by the field names they carry, once, when the predicate
// is made.

#include <vector>

#include "datacontrols/datasets/dwfilter.h"

class TDataSet;
class TField;

class TdwFilterPredicate {
public:
    // Raises EDatabaseError when the blob is malformed or names a field the data set
    // does not have.
    TdwFilterPredicate(const TdwFilterBlob& Blob, TDataSet* DataSet);

    // Whether the data set's current record passes.
    bool Accepts() const;

private:
    struct TValue;
    TValue Evaluate(int Offset) const;
    TValue Constant(int Slot) const;
    int SlotOf(int Offset) const;
    Word Read16(int At) const;
    std::uint32_t Read32(int At) const;

    TdwFilterBlob FBlob;
    int FLiteralStart = 0;
    // The field of each field node, by the node's offset / SlotSize.
    std::vector<TField*> FFields;
};
