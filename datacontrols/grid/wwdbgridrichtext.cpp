// The grid's rich-text cells.

#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/richtext/dwdbriched.h"
#include "platform/db/dataset.h"
#include "platform/db/fieldkinds.h"

String TdwDBGrid::RichTextCellText(TField* Field) const
{
    if (Field->DataSet()->IsEmpty())
        return String();
    if (!FRichTextPainter) {
        auto* grid = const_cast<TdwDBGrid*>(this);
        FRichTextPainter = new TdwDBRichEdit(grid);
        FRichTextPainter->SetVisible(false);
        FRichTextPainter->SetParent(grid);
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
    }
    return FRichTextEditor;
}

void TdwDBGrid::BindRichTextEditor(TField* Field)
{
    FRichTextEditor->Hide();
    // The font first: a change of look in a loaded document would count as an edit.
    FRichTextEditor->SetFont(Font());
    FRichTextEditor->SetDataSource(DataSource());
    FRichTextEditor->SetDataField(Field->FieldName());
}
