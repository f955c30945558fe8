#pragma once
// The dialog service's test double: it records every question and gives the
// answers a test scripted, so forms run without anyone at the screen.

#include <deque>
#include <functional>
#include <vector>

#include "platform/vcl/dialogs/dialogs.h"

class TScriptedDialogs : public TDialogService {
public:
    // Installs itself for its lifetime.
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // The answers in the order the questions come. A message without a scripted answer
    // gets its default button's result; an input, file or print dialog without one is
    // cancelled.
    void AnswerMessage(int ModalResult) { FMessageAnswers.push_back(ModalResult); }
    void AnswerInput(const String& Value) { FInputAnswers.push_back({true, Value}); }
    void CancelInput() { FInputAnswers.push_back({false, String()}); }
    void AnswerFile(const String& FileName) { FFileAnswers.push_back({true, FileName}); }
    void AnswerPrinter(int PrinterIndex, int Copies) { FPrintAnswers.push_back({PrinterIndex, Copies}); }
    // What the user does in the page setup dialog before OK; a paper the dialog does not
    // let change stays as it was.
    void AnswerPageSetup(std::function<void(TPageSetupRequest&)> Edit)
    {
        FPageSetupAnswers.push_back(std::move(Edit));
    }
    // What the user picks in the font dialog before OK.
    void AnswerFont(std::function<void(TFont&)> Edit) { FFontAnswers.push_back(std::move(Edit)); }

    // What was asked, in order.
    std::vector<TMessageRequest> Messages;
    std::vector<String> InputPrompts;
    std::vector<TFileDialogRequest> FileRequests;
    std::vector<TPageSetupRequest> PageSetupRequests;
    // The families each font dialog offered (empty: every one).
    std::vector<std::vector<String>> FontFamiliesOffered;
    int Beeps = 0;

    int Message(const TMessageRequest& Request) override;
    bool InputQuery(const String& Caption, const String& Prompt, String& Value) override;
    bool FileDialog(TFileDialogRequest& Request) override;
    bool PrintDialog(TPrintDialogRequest& Request) override;
    bool PageSetupDialog(TPageSetupRequest& Request) override;
    bool FontDialog(TFont& Font, const TStrings& Families) override;
    void Beep() override { ++Beeps; }

private:
    struct TTextAnswer {
        bool Accepted;
        String Value;
    };
    struct TPrintAnswer {
        int PrinterIndex;
        int Copies;
    };
    std::deque<int> FMessageAnswers;
    std::deque<TTextAnswer> FInputAnswers;
    std::deque<TTextAnswer> FFileAnswers;
    std::deque<TPrintAnswer> FPrintAnswers;
    std::deque<std::function<void(TPageSetupRequest&)>> FPageSetupAnswers;
    std::deque<std::function<void(TFont&)>> FFontAnswers;
    TDialogService* FPrevious;
};
