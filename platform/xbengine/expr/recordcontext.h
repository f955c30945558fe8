#pragma once
// What an expression needs from the table it runs over. The engine implements
// this for a work area; field names are looked up case-insensitively.

#include <string_view>

#include "platform/rtl/types.h"

namespace xbexpr {

// A field as the expression addresses it. Area 0 is the expression's own
// table; any other number is the context's own name for the table reached
// through an alias ("CLIENT->NAME1").
struct FieldInfo {
    int Area = 0;
    int Index = 0;    // the context's field number, passed back unchanged
    char Type = 'C';  // C, N, F, D, L, M, I; any other letter reads as raw bytes
    int Width = 0;
    int Decimals = 0;
    int Offset = 0;  // byte offset in the record image (byte 0 is the deletion flag)
};

struct ExprSettings {
    bool Exact = false;    // whole-value string "=" instead of a prefix match
    bool Century = false;  // four-digit years in DTOC and CTOD
    int DateFormat = 0;  // 0 American, 1 ANSI, 2 British, 3 French, 4 German, 5 Italian, 6 Spanish, 99 system
    int Epoch = 1900;    // two-digit years map into [Epoch, Epoch + 99]
};

class RecordContext {
public:
    virtual ~RecordContext() = default;

    // Resolves "name" or "alias->name" (alias empty for the own table).
    virtual bool LookupField(std::string_view alias, std::string_view name, FieldInfo& field) const = 0;
    // The current record image of an area; DELETED() reads its first byte.
    virtual std::string_view Record(int area) const = 0;
    virtual std::int32_t RecNo(int area) const = 0;
    virtual String MemoText(const FieldInfo& field) const = 0;
    // Read when an expression compiles (the width of DTOC()) and at every evaluation.
    virtual ExprSettings Settings() const = 0;
    // Today's date as a Julian day number.
    virtual std::int32_t Today() const = 0;
};

}  // namespace xbexpr
