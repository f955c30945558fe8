#include "datacontrols/datasets/wwqbe.h"

#include "platform/db/dberror.h"
#include "platform/db/updateobject.h"
#include "platform/rtl/strutils.h"

namespace {

bool IsNameChar(char C)
{
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_' || C == '#';
}

String WithoutExampleVariables(const String& Line)
{
    String result;
    for (size_t i = 0; i < Line.size(); ++i) {
        if (Line[i] == '~' && i + 1 < Line.size() && IsNameChar(Line[i + 1])) {
            while (i + 1 < Line.size() && IsNameChar(Line[i + 1]))
                ++i;
            result += ' ';
        } else {
            result += Line[i];
        }
    }
    return result;
}

}  // namespace

String dwQBEStatementText(const TStrings& Lines)
{
    String text;
    for (int i = 0; i < Lines.Count(); ++i)
        text += (i > 0 ? "\r\n" : "") + WithoutExampleVariables(Lines[i]);
    return text;
}

bool TdwQBE::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwQBE") || TDataSet::InheritsFrom(name);
}

TdwQBE::~TdwQBE() { SetUpdateObject(nullptr); }

void TdwQBE::Notification(TComponent* AComponent, TOperation Operation)
{
    TdwRefusedDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FUpdateObject)
        FUpdateObject = nullptr;
}

void TdwQBE::SetUpdateObject(TDataSetUpdateObject* Value)
{
    if (Value == FUpdateObject)
        return;
    if (FUpdateObject) {
        FUpdateObject->RemoveFreeNotification(this);
        if (FUpdateObject->DataSet() == this)
            FUpdateObject->SetDataSet(nullptr);
    }
    FUpdateObject = Value;
    if (!FUpdateObject)
        return;
    FUpdateObject->FreeNotification(this);
    // One update object serves one data set.
    if (auto* previous = dynamic_cast<TdwQBE*>(FUpdateObject->DataSet()); previous && previous != this)
        previous->SetUpdateObject(nullptr);
    FUpdateObject->SetDataSet(this);
}

void TdwQBE::SetQBE(const TStrings& Lines)
{
    const bool reopen = Active();
    if (reopen)
        Close();
    FQBE.Assign(Lines);
    if (reopen)
        Open();
}

void TdwQBE::InternalOpen()
{
    if (FQBE.Count() == 0 || FQBE[0].empty())
        DatabaseError("No QBE text to run", this);
    Refuse();
}
