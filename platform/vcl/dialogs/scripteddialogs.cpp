#include "platform/vcl/dialogs/scripteddialogs.h"

#include "platform/vcl/forms/forms.h"

TScriptedDialogs::TScriptedDialogs() : FPrevious(SetDialogService(this)) { }

TScriptedDialogs::~TScriptedDialogs() { SetDialogService(FPrevious); }

int TScriptedDialogs::Message(const TMessageRequest& Request)
{
    Messages.push_back(Request);
    if (FMessageAnswers.empty()) {
        static constexpr TModalResult Results[] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                                                   mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
        return Results[Request.DefaultButton];
    }
    const int answer = FMessageAnswers.front();
    FMessageAnswers.pop_front();
    return answer;
}

bool TScriptedDialogs::InputQuery(const String&, const String& Prompt, String& Value)
{
    InputPrompts.push_back(Prompt);
    if (FInputAnswers.empty())
        return false;
    const TTextAnswer answer = FInputAnswers.front();
    FInputAnswers.pop_front();
    if (answer.Accepted)
        Value = answer.Value;
    return answer.Accepted;
}

bool TScriptedDialogs::FileDialog(TFileDialogRequest& Request)
{
    FileRequests.push_back(Request);
    if (FFileAnswers.empty())
        return false;
    const TTextAnswer answer = FFileAnswers.front();
    FFileAnswers.pop_front();
    if (answer.Accepted)
        Request.FileName = answer.Value;
    return answer.Accepted;
}

bool TScriptedDialogs::PrintDialog(TPrintDialogRequest& Request)
{
    if (FPrintAnswers.empty())
        return false;
    Request.PrinterIndex = FPrintAnswers.front().PrinterIndex;
    Request.Copies = FPrintAnswers.front().Copies;
    FPrintAnswers.pop_front();
    return true;
}

bool TScriptedDialogs::PageSetupDialog(TPageSetupRequest& Request)
{
    PageSetupRequests.push_back(Request);
    if (FPageSetupAnswers.empty())
        return false;
    const int paper = Request.PaperSize;
    FPageSetupAnswers.front()(Request);
    FPageSetupAnswers.pop_front();
    if (!Request.PaperEnabled)
        Request.PaperSize = paper;
    return true;
}

bool TScriptedDialogs::FontDialog(TFont& Font, const TStrings& Families)
{
    std::vector<String>& offered = FontFamiliesOffered.emplace_back();
    for (int i = 0; i < Families.Count(); ++i)
        offered.push_back(Families.Strings(i));
    if (FFontAnswers.empty())
        return false;
    FFontAnswers.front()(Font);
    FFontAnswers.pop_front();
    return true;
}
