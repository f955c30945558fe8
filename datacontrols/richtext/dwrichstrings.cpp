#include "datacontrols/richtext/dwrichstrings.h"

#include <algorithm>
#include <vector>

#include "datacontrols/richtext/dwriched.h"

Int64 TdwRichMemoryStream::Write(const void* Buffer, Int64 Count)
{
    if (Count > 0 && FPosition + Count > Capacity())
        SetCapacity(FPosition + Count);
    return TMemoryStream::Write(Buffer, Count);
}

void TdwRichMemoryStream::SetCapacity(Int64 Capacity)
{
    if (Capacity <= 0) {
        Clear();
        std::vector<Byte>().swap(FData);
        return;
    }
    const Int64 rounded = (Capacity + GrowthStep - 1) / GrowthStep * GrowthStep;
    if (rounded > this->Capacity())
        FData.reserve(static_cast<size_t>(rounded));
}

int TdwRichEditStrings::Count() const
{
    const int count = FRichEdit->ParagraphCount();
    return FRichEdit->Paragraph(count - 1).empty() ? count - 1 : count;
}

String TdwRichEditStrings::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        Error("List index out of bounds", Index);
    return FRichEdit->Paragraph(Index);
}

void TdwRichEditStrings::Put(int Index, const String& S)
{
    if (Index < 0 || Index >= FRichEdit->ParagraphCount())
        return;
    FRichEdit->SetSelection(FRichEdit->ParagraphStart(Index),
                            static_cast<int>(FRichEdit->Paragraph(Index).size()));
    FRichEdit->SetSelText(S);
}

void TdwRichEditStrings::Insert(int Index, const String& S)
{
    if (Index >= 0 && Index < FRichEdit->ParagraphCount()) {
        FRichEdit->InsertText(FRichEdit->ParagraphStart(Index), S + "\r\n");
        return;
    }
    if (Index < 1 || Index - 1 >= FRichEdit->ParagraphCount())
        return;
    const String last = FRichEdit->Paragraph(Index - 1);
    if (last.empty())
        return;
    FRichEdit->InsertText(FRichEdit->ParagraphStart(Index - 1) + static_cast<int>(last.size()), "\r\n" + S);
}

void TdwRichEditStrings::Delete(int Index)
{
    const int paragraphs = FRichEdit->ParagraphCount();
    if (Index < 0 || Index >= paragraphs)
        return;
    const int start = FRichEdit->ParagraphStart(Index);
    if (Index + 1 < paragraphs)
        FRichEdit->SetSelection(start, FRichEdit->ParagraphStart(Index + 1) - start);
    else  // the last paragraph goes with the break before it
        FRichEdit->SetSelection(std::max(0, start - 1), FRichEdit->TextLength() - std::max(0, start - 1));
    FRichEdit->SetSelText(String());
}

void TdwRichEditStrings::Clear() { FRichEdit->Clear(); }

void TdwRichEditStrings::SetText(const String& Value) { FRichEdit->LoadContents(Value); }

String TdwRichEditStrings::Contents() const { return FRichEdit->SaveContents(); }

void TdwRichEditStrings::LoadFromStream(TStream& Stream) { FRichEdit->StreamInText(Stream, false, 0); }

void TdwRichEditStrings::SaveToStream(TStream& Stream) const
{
    const String contents = Contents();
    Stream.WriteBuffer(contents.data(), static_cast<Int64>(contents.size()));
}

void TdwRichEditStrings::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TdwRichEditStrings::SaveToFile(const String& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

void TdwRichEditStrings::SetUpdateState(bool Updating) { FRichEdit->SetRedraw(!Updating); }
