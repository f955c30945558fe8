#pragma once
// Text entry: the one-line TEdit, which may show its line wrapped, and the many-line TMemo.

#include <memory>

#include "platform/rtl/stringlist.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/controls/editmask.h"
#include "platform/vcl/forms/actions.h"
#include "platform/vcl/forms/forms.h"

class QString;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
public:
    String ClassName() const override { return "TCustomEdit"; }
    bool InheritsFrom(const String& name) const override;

    // Typed and pasted text beyond it is refused; 0 is no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Upper or lower case for typed, pasted and assigned text.
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Selects all of the text when the control is entered.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // Set when the user changes the text; cleared when the program sets it.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool Value) = 0;

    // Selection in characters from 0.
    virtual int SelStart() const = 0;
    virtual void SetSelStart(int Value) = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelLength(int Value) = 0;
    String SelText() const
    {
        return PositionedText().substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
    }
    // Replaces the selection, as the program's change: Modified stays as it was.
    virtual void SetSelText(const String& Value);
    void SelectAll();
    void Clear() { SetText(String()); }

    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

    // Fires on every change of the text, also a change the program makes.
    TNotifyEvent OnChange;

protected:
    bool ColorIsFieldBackground() const override { return true; }
    TCustomEdit(TComponent* AOwner, QWidget* AWidget);
    virtual void Change();
    void DoEnter() override;
    String ApplyCharCase(const String& Value) const;
    // The text the selection's positions count in: the text, or what a masked edit shows.
    virtual String PositionedText() const { return GetText(); }
    // The widget's text changed, by the user or the program.
    void WidgetTextChanged();
    virtual void ApplyMaxLength() = 0;
    virtual void ApplyReadOnly() = 0;
    // Puts the text in the widget, keeping the caret where it was.
    virtual void ReplaceWidgetText(const String& Value) = 0;

private:
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FReadOnly = false;
    bool FAutoSelect = true;
    bool FRecasing = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner);

    String ClassName() const override { return "TEdit"; }
    bool InheritsFrom(const String& name) const override;

    // bsSingle draws the edit's sunken border; bsNone leaves the text on its background.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // Shows this character for each one typed; 0 shows the text.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    // The pixels kept free between each edge of the client area and the text.
    TRect TextMargins() const;
    void SetTextMargins(const TRect& Margins);
    // The edit's frame (BorderStyle bsSingle); without it (bsNone) the text fills the control.
    bool BorderVisible() const;
    void SetBorderVisible(bool Value);
    // Shows the text wrapped at the edit's width onto as many lines as its height holds,
    // scrolled up or down to the caret's line but never sideways. Display only: the text
    // stays one line, and every key does what it does without.
    bool WordWrap() const;
    virtual void SetWordWrap(bool Value);
    // Holds lines, as a multi-line edit does: an Enter that reaches the edit types a line
    // break (CR LF in the text), Up and Down move between lines, Home and End go to the
    // ends of the caret's line (with Ctrl to the text's). With Wrap the lines wrap at the
    // edit's width; without, the text scrolls sideways to the caret. Positions count the
    // CR LF as two characters, as the text does.
    bool MultiLine() const;
    bool WrapsLines() const;
    void SetMultiLine(bool MultiLine, bool Wrap);
    // A vertical scroll bar beside the lines of an edit that holds them: the bar and the
    // wheel scroll the lines, and the keys that move the caret bring its line into view.
    // An edit of one line shows none. The client area ends at the bar.
    bool VertScrollBar() const;
    void SetVertScrollBar(bool Value);
    int ClientWidth() const override;
    // Where in the text the line at the top of the text area starts, as the lines are
    // scrolled; 0 in an edit that shows one line.
    int TopLineStart() const;
    // The height of one line of text in the edit's font.
    int LineHeight() const;
    // The edit mask the text is typed into (TEditMask's form); empty for none. A masked
    // edit shows the mask's literals and empty places; a typed character goes into the
    // next place at the caret, when it fits it, and the caret moves past the literals
    // after it; Backspace and Delete empty places. Text is the mask's text of what shows.
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& Value);
    bool IsMasked() const;
    // The text as it shows, with the mask's literals and empty places.
    String EditText() const;
    // Paints neither its background nor its text: what lies under the edit (its parent and
    // the controls behind it) shows through, and PaintOver draws what is to be seen. Off,
    // the edit has its colours again.
    bool SeeThrough() const { return FSeeThrough; }
    void SetSeeThrough(bool Value);
    // Raises EDBEditError when the user changed the text and left a place empty that the
    // mask requires.
    void ValidateEdit();
    // Replaces the whole text as a user's edit does: Ctrl+Z undoes it, and the edit is
    // marked modified.
    void ReplaceText(const String& Value);
    // The clipboard commands. The edit's own keys for them (Ctrl+V, Shift+Insert, Ctrl+X,
    // Shift+Delete) and its context menu run these too.
    void PasteFromClipboard() { WMPaste(); }
    void CutToClipboard() { WMCut(); }
    void CopyToClipboard();
    // Into a masked edit the text goes as typed from the selection's start: a literal of
    // the mask standing there is stepped over, every other character goes into the next
    // place that takes it or is left out; the places of the selection that it does not
    // fill are emptied, the literals kept, and the caret goes after the last character
    // placed.
    void SetSelText(const String& Value) override;
    // Takes back the last change, as Ctrl+Z does.
    void Undo();
    bool CanUndo() const;
    // Deletes the selection, as the Delete key does.
    void ClearSelection();
    // Carries out an action that works on this edit (the edit actions when it is
    // focused); true when it did.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

protected:
    // What paste and cut do: the widget's own by default.
    virtual void WMPaste();
    virtual void WMCut();
    String GetText() const override;
    void SetTextValue(const String& Value) override;
    String PositionedText() const override { return IsMasked() ? EditText() : GetText(); }
    void FontChanged() override;
    void ColorChanged() override;
    void ApplyMaxLength() override;
    void ApplyReadOnly() override;
    void ReplaceWidgetText(const String& Value) override;
    // Draws over the edit after its own painting, on a canvas whose origin is the top
    // left of the client area (inside the frame); ClientArea is that area. Nothing by
    // default.
    virtual void PaintOver(TCanvas* Canvas, const TRect& ClientArea);

public:
    bool Modified() const override;
    void SetModified(bool Value) override;
    int SelStart() const override;
    void SetSelStart(int Value) override;
    int SelLength() const override;
    void SetSelLength(int Value) override;

private:
    friend class TLineEditWidget;
    // Runs PaintOver at the end of the widget's paint event.
    void PaintOverWidget(QPainter& Painter);
    // The widget's text for a text, and positions between the two.
    QString WidgetTextOf(const String& Value) const;
    int TextPosition(int WidgetPosition) const;
    int WidgetPosition(int TextPosition) const;
    // A key of a masked edit that reaches its widget; false for one the widget handles.
    bool MaskKey(int Key, bool Shift, bool Command, const String& Typed);
    // Types C into the next place that takes it; false when none does.
    bool TypeMasked(char C);
    // Where C typed at Position of Shown goes: the next place that takes it (C taking its
    // case there), or Position itself when the literal standing there is C; -1 for neither.
    int MaskedPlace(const String& Shown, int Position, char& C) const;
    // Puts Value over the selection as SetSelText says, as one step Ctrl+Z takes back;
    // false when a character was left out.
    bool InsertMasked(const String& Value);
    // Empties the places of Shown from Start to End.
    void BlankPlaces(String& Shown, int Start, int End) const;
    void OverwriteShown(int Position, const String& Shown);
    void BlankShown(int Start, int End);

    void ApplySeeThrough();

    String FEditMask;
    std::unique_ptr<TEditMask> FMask;
    bool FSeeThrough = false;

    char FPasswordChar = 0;
    TBorderStyle FBorderStyle = bsSingle;
};

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    String ClassName() const override { return "TMemo"; }
    bool InheritsFrom(const String& name) const override;

    // The text's lines; changing them changes the text.
    TStrings* Lines() const { return FLines.get(); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Tab types a tab instead of moving on; Enter types a line break.
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }

    int DialogCode() const override;

protected:
    String GetText() const override;
    void SetTextValue(const String& Value) override;
    void ApplyMaxLength() override { }
    void ApplyReadOnly() override;
    void ReplaceWidgetText(const String& Value) override;

public:
    bool Modified() const override;
    void SetModified(bool Value) override;
    int SelStart() const override;
    void SetSelStart(int Value) override;
    int SelLength() const override;
    void SetSelLength(int Value) override;

private:
    std::unique_ptr<TStringList> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FWantTabs = false;
    bool FWantReturns = true;
    bool FSyncing = false;
};
