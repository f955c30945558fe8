#pragma once
// The rich edit's text as lines (one a paragraph) and the memory stream every transfer of
// rich text goes through.

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

class TdwCustomRichEdit;

// A memory stream whose room grows in steps of 128 KB.
class TdwRichMemoryStream : public TMemoryStream {
public:
    static constexpr Int64 GrowthStep = 0x20000;
    Int64 Write(const void* Buffer, Int64 Count) override;
    // Room for Capacity bytes, rounded up to the step; 0 frees it.
    void SetCapacity(Int64 Capacity);
    Int64 Capacity() const { return static_cast<Int64>(FData.capacity()); }
};

class TdwRichEditStrings : public TStrings {
public:
    explicit TdwRichEditStrings(TdwCustomRichEdit* RichEdit) : FRichEdit(RichEdit) { }

    // The paragraphs; a text ending in a paragraph break has no empty last line.
    int Count() const override;
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int /*Index*/) const override { return nullptr; }
    void PutObject(int /*Index*/, TObject* /*Object*/) override { }
    // Before line Index; past the end after a last line that is not empty.
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    // Loads RTF (or plain text) as the rich edit reads it.
    void SetText(const String& Value) override;
    // The contents as the rich edit writes them: RTF, or plain text with PlainText.
    String Contents() const;
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;

protected:
    // No repainting between BeginUpdate and EndUpdate.
    void SetUpdateState(bool Updating) override;

private:
    TdwCustomRichEdit* FRichEdit;
};
