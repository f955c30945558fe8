#pragma once
// The modeless find and replace dialogs: the search text (and its replacement), match
// case and whole word, and buttons that fire OnFind and OnReplace while the dialog stays.

#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/classes/sets.h"

class TForm;
class TEdit;
class TCheckBox;
class TButton;

enum TFindOption { frMatchCase, frWholeWord, frReplace, frReplaceAll };
using TFindOptions = SetOf<TFindOption>;

class TFindDialog : public TComponent {
public:
    explicit TFindDialog(TComponent* AOwner);
    ~TFindDialog() override;
    String ClassName() const override { return "TFindDialog"; }

    String FindText() const;
    void SetFindText(const String& Value);
    // Match case and whole word as the boxes show them; frReplace and frReplaceAll say
    // which replace button fired OnReplace.
    TFindOptions Options() const;
    void SetOptions(TFindOptions Value);

    // Shows the dialog (modeless) in front of its owner's form.
    void Execute();
    void CloseDialog();
    bool Showing() const;
    TForm* Form() const { return FForm; }

    // "Find Next".
    TNotifyEvent OnFind;
    // The dialog closed.
    TNotifyEvent OnClose;

protected:
    TFindDialog(TComponent* AOwner, bool Replacing);
    TForm* FForm;
    TEdit* FFindEdit;
    TCheckBox* FMatchCase;
    TCheckBox* FWholeWord;
    TFindOptions FReplaceFlags;
};

class TReplaceDialog : public TFindDialog {
public:
    explicit TReplaceDialog(TComponent* AOwner);
    String ClassName() const override { return "TReplaceDialog"; }

    String ReplaceText() const;
    void SetReplaceText(const String& Value);
    // "Replace" (frReplace in Options) and "Replace All" (frReplaceAll).
    TNotifyEvent OnReplace;

private:
    TEdit* FReplaceEdit;
};
