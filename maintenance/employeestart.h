#pragma once
// The recipient pick list of the current client: recipients are found by name, ID or
// last name, opened on the recipient form, added under a new ID and deleted.

#include "controls/kvbevel.h"
#include "controls/kvbutton.h"
#include "datacontrols/grid/wwdbgrid.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/forms/forms.h"

// The stripes of the list: light yellow and white rows by their place on the screen,
// navy for the highlighted row.
constexpr TColor EvenRowColor = 0x80FFFF;
constexpr TColor OddRowColor = 0xFFFFFF;
constexpr TColor HighlightRowColor = 0x800000;
// How far Page Up and Page Down move from a search edit.
constexpr int SearchPageRows = 18;

class TFEmployeeStart : public TForm {
public:
    explicit TFEmployeeStart(TComponent* AOwner);
    String ClassName() const override { return "TFEmployeeStart"; }

    TLabel* Label1;
    TEdit* Edit1;  // by name
    TLabel* Label2;
    TEdit* Edit2;  // by ID
    TLabel* Label6;
    TEdit* Edit3;  // by last name
    TLabel* Label3;
    TLabel* Label4;
    TKVBevel* KVBevel1;
    TLabel* Label5;
    TKVButton* KVButton1;
    TdwDBGrid* dwDBGrid1;

    void FormCreate(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Edit2Change(TObject* Sender);
    void Edit3Change(TObject* Sender);
    void Edit1Enter(TObject* Sender);
    void Edit2Enter(TObject* Sender);
    void Edit3Enter(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Edit2KeyPress(TObject* Sender, char& Key);
    void Edit3KeyPress(TObject* Sender, char& Key);
    void Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Edit2KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Edit3KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void dwDBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void dwDBGrid1KeyPress(TObject* Sender, char& Key);
    void dwDBGrid1DblClick(TObject* Sender);
    void dwDBGrid1CalcCellColors(TObject* Sender, TField* Field, TGridDrawState State, bool Highlight,
                                 TFont* AFont, TBrush* ABrush);
    void dwDBGrid1TopRowChanged(TObject* Sender);
    void KVButton1Click(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);

private:
    TEdit* SearchEdit(const String& Name, int Left, int Width);
    void SearchEnter(const char* Tag, TEdit* Edit);
    void SearchKeyPress(TEdit* Edit, char& Key);
    void SearchKeyDown(Word& Key);
    // Esc and "/" close the list; F1 shows its help.
    bool CloseKey(char& Key);
    bool HelpKey(Word& Key);
    void OpenRecipient();
    void DeleteRecipient();
    // Asks for one new ID and adds the recipient; false when the ID was refused, or
    // when the recipient form was closed by the window system or never showed.
    bool AddRecipient();
};

// The list, shown modally for the main menu.
void ShowEmployeeStart();
