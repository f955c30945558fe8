// The grid's rich-text cells.

#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/richtext/dwdbriched.h"
#include "platform/db/dataset.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/strutils.h"

String TdwDBGrid::RichTextCellText(TField* Field) const
{
    if (Field->DataSet()->IsEmpty())
        return String();
    if (!FRichTextPainter) {
        auto* grid = const_cast<TdwDBGrid*>(this);
        FRichTextPainter = new TdwDBRichEdit(grid);
        FRichTextPainter->SetVisible(false);
        FRichTextPainter->SetParent(grid);
        FRichTextPainter->SetBorderStyle(bsNone);
    }
    const String head = Field->AsString().substr(0, 5);
    if (head == "{\\rtf") {
        FRichTextPainter->SetPlainText(false);
        FRichTextPainter->LoadBlobPreview(Field, 2);
    } else {
        FRichTextPainter->SetPlainText(true);
        FRichTextPainter->LoadContents(Field->AsString());
        FRichTextPainter->SetPlainText(false);
    }
    return FRichTextPainter->Text();
}

TdwDBRichEdit* TdwDBGrid::MakeRichTextEditor()
{
    if (!FRichTextEditor) {
        FRichTextEditor = new TdwDBRichEdit(this);
        FRichTextEditor->SetVisible(false);
        FRichTextEditor->SetParent(this);
        FRichTextEditor->SetBorderStyle(bsNone);
    }
    return FRichTextEditor;
}

TdwDBRichEdit* TdwDBGrid::RichTextControl(TField* Field)
{
    const String name = GetControlInfo(Field->FieldName()).Parameters;
    auto* named = dynamic_cast<TdwDBRichEdit*>(FindCellComponent(Trim(name)));
    if (!named)
        return MakeRichTextEditor();
    named->FreeNotification(this);
    return named;
}

void TdwDBGrid::BindRichTextEditor(TdwDBRichEdit* Editor, TField* Field)
{
    Editor->Hide();
    if (Editor->Parent() != this)
        Editor->SetParent(this);
    Editor->SetBorderStyle(bsNone);
    // The font first: a change of look in a loaded document would count as an edit.
    Editor->SetFont(Font());
    Editor->SetDataSource(DataSource());
    Editor->SetDataField(Field->FieldName());
}
