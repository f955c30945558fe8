#include "platform/vcl/dialogs/dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QListView>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStringListModel>

#include <algorithm>
#include <cmath>

#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/printing/printers.h"
#include "platform/vcl/printing/qpaper.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qgraphics.h"
#include "platform/vcl/qt/qtext.h"

namespace {

struct ButtonText {
    TMsgDlgBtn Button;
    const char* Text;
    TModalResult Result;
};

constexpr ButtonText ButtonTable[] = {
        {mbYes, "&Yes", mrYes},
        {mbNo, "&No", mrNo},
        {mbOK, "OK", mrOk},
        {mbCancel, "Cancel", mrCancel},
        {mbAbort, "&Abort", mrAbort},
        {mbRetry, "&Retry", mrRetry},
        {mbIgnore, "&Ignore", mrIgnore},
        {mbAll, "&All", mrAll},
        {mbNoToAll, "N&o to All", mrNoToAll},
        {mbYesToAll, "Yes to &All", mrYesToAll},
        {mbHelp, "&Help", mrNone},
};

QWidget* DialogParent()
{
    TCustomForm* form = GuiScreen()->ActiveForm();
    return form ? form->Widget()->window() : nullptr;
}

// The Qt dialogs, modal over the active form.
class TQtDialogService : public TDialogService {
public:
    int Message(const TMessageRequest& Request) override
    {
        EnsureQApplication();
        QMessageBox box(DialogParent());
        box.setWindowTitle(ToQString(Request.Caption));
        box.setText(ToQString(Request.Text));
        switch (Request.Type) {
        case mtWarning: box.setIcon(QMessageBox::Warning); break;
        case mtError: box.setIcon(QMessageBox::Critical); break;
        case mtInformation: box.setIcon(QMessageBox::Information); break;
        case mtConfirmation: box.setIcon(QMessageBox::Question); break;
        default: break;
        }
        std::vector<std::pair<QAbstractButton*, TModalResult>> results;
        for (const ButtonText& button : ButtonTable) {
            if (!Request.Buttons.Contains(button.Button) || button.Button == mbHelp)
                continue;
            QPushButton* pushButton =
                    box.addButton(QString::fromLatin1(button.Text), QMessageBox::ActionRole);
            results.emplace_back(pushButton, button.Result);
            if (button.Button == Request.DefaultButton)
                box.setDefaultButton(pushButton);
            if (button.Button == mbCancel || (button.Button == mbNo && !Request.Buttons.Contains(mbCancel)) ||
                (button.Button == mbOK && !Request.Buttons.Contains(mbCancel))) {
                box.setEscapeButton(pushButton);
            }
        }
        box.exec();
        for (const auto& [button, result] : results) {
            if (box.clickedButton() == button)
                return result;
        }
        return mrCancel;
    }

    bool InputQuery(const String& Caption, const String& Prompt, String& Value) override
    {
        EnsureQApplication();
        bool ok = false;
        const QString text = QInputDialog::getText(DialogParent(), ToQString(Caption), ToQString(Prompt),
                                                   QLineEdit::Normal, ToQString(Value), &ok);
        if (ok)
            Value = FromQString(text);
        return ok;
    }

    bool FileDialog(TFileDialogRequest& Request) override
    {
        EnsureQApplication();
        // "Text|*.txt|All|*.*" becomes Qt's "Text (*.txt);;All (*.*)".
        QStringList parts = ToQString(Request.Filter).split(QLatin1Char('|'));
        QStringList filters;
        for (int i = 0; i + 1 < parts.size(); i += 2) {
            QString patterns = parts[i + 1];
            patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
            filters << parts[i] + QLatin1String(" (") + patterns + QLatin1Char(')');
        }
        QFileDialog dialog(DialogParent(), ToQString(Request.Title), ToQString(Request.InitialDir));
        dialog.setNameFilters(filters);
        if (Request.FilterIndex >= 1 && Request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[Request.FilterIndex - 1]);
        dialog.setAcceptMode(Request.Kind == fdSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(Request.Kind == fdSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(ToQString(Request.DefaultExt));
        if (!Request.FileName.empty())
            dialog.selectFile(ToQString(Request.FileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        Request.FileName = FromQString(dialog.selectedFiles().first());
        Request.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return true;
    }

    bool PrintDialog(TPrintDialogRequest& Request) override
    {
        EnsureQApplication();
        const std::vector<String> printers = Printer()->Printers();
        if (printers.empty()) {
            // As the desktop's print dialog does, the user learns why nothing will print.
            TMessageRequest request;
            request.Caption = "Print";
            request.Text = "No printers are installed.";
            request.Type = mtError;
            Message(request);
            return false;
        }
        QStringList names;
        for (const String& name : printers)
            names << ToQString(name);
        bool ok = false;
        const QString chosen =
                QInputDialog::getItem(DialogParent(), QStringLiteral("Print"), QStringLiteral("Printer:"),
                                      names, std::max(0, Request.PrinterIndex), false, &ok);
        if (!ok)
            return false;
        Request.PrinterIndex = static_cast<int>(names.indexOf(chosen));
        return true;
    }

    bool PageSetupDialog(TPageSetupRequest& Request) override
    {
        EnsureQApplication();
        QPrinter printer;
        const int index = Printer()->PrinterIndex();
        if (index >= 0)
            printer.setPrinterName(ToQString(Printer()->Printers()[static_cast<size_t>(index)]));
        const bool inches = Request.Units == psThousandthsOfInches;
        const QPageLayout::Unit unit = inches ? QPageLayout::Inch : QPageLayout::Millimeter;
        const double perUnit = inches ? 1000.0 : 100.0;
        QPageSize paper = PaperCodeToPageSize(Request.PaperSize);
        if (!paper.isValid())
            paper = QPageSize(QPageSize::Letter);
        QPageLayout layout(paper, Request.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(Request.Left / perUnit, Request.Top / perUnit, Request.Right / perUnit,
                                     Request.Bottom / perUnit),
                           unit);
        printer.setPageLayout(layout);
        QPageSetupDialog dialog(&printer, DialogParent());
        if (!Request.PaperEnabled) {
            for (QComboBox* combo : dialog.findChildren<QComboBox*>(QStringLiteral("pageSizeCombo")))
                combo->setEnabled(false);
        }
        // Centred across the screen, a third of the way down.
        dialog.adjustSize();
        const QRect screen = dialog.screen()->availableGeometry();
        dialog.move(screen.left() + (screen.width() - dialog.width()) / 2,
                    screen.top() + (screen.height() - dialog.height()) / 3);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        const QPageLayout chosen = printer.pageLayout();
        const QMarginsF margins = chosen.margins(unit);
        Request.Left = static_cast<int>(std::lround(margins.left() * perUnit));
        Request.Top = static_cast<int>(std::lround(margins.top() * perUnit));
        Request.Right = static_cast<int>(std::lround(margins.right() * perUnit));
        Request.Bottom = static_cast<int>(std::lround(margins.bottom() * perUnit));
        Request.Landscape = chosen.orientation() == QPageLayout::Landscape;
        const int code = PageSizeToPaperCode(chosen.pageSize());
        if (Request.PaperEnabled && code > 0)
            Request.PaperSize = code;
        return true;
    }

    bool FontDialog(TFont& Font, const TStrings& Families) override
    {
        EnsureQApplication();
        QFontDialog dialog(ToQFont(Font, ScreenPixelsPerInch), DialogParent());
        if (Families.Count() > 0)
            OfferOnly(dialog, Families);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        const QFont chosen = dialog.selectedFont();
        // A family typed that is not offered leaves the font's own.
        const String family = FromQString(chosen.family());
        if (Families.Count() == 0 || Families.IndexOf(family) >= 0)
            Font.SetName(family);
        if (chosen.pointSize() > 0)
            Font.SetSize(chosen.pointSize());
        TFontStyles style;
        if (chosen.bold())
            style.Include(fsBold);
        if (chosen.italic())
            style.Include(fsItalic);
        if (chosen.underline())
            style.Include(fsUnderline);
        if (chosen.strikeOut())
            style.Include(fsStrikeOut);
        Font.SetStyle(style);
        return true;
    }

    // Qt's font dialog has no option for a list of families: the other families' rows
    // of its family list are hidden, again whenever the dialog fills the list anew.
    static void OfferOnly(QFontDialog& Dialog, const TStrings& Families)
    {
        Dialog.setOption(QFontDialog::DontUseNativeDialog);
        QSet<QString> offered;
        for (int i = 0; i < Families.Count(); ++i)
            offered.insert(ToQString(Families.Strings(i)));
        for (QListView* view : Dialog.findChildren<QListView*>()) {
            auto* model = qobject_cast<QStringListModel*>(view->model());
            if (!model)
                continue;
            const QStringList names = model->stringList();
            if (std::none_of(names.begin(), names.end(),
                             [&](const QString& n) { return offered.contains(n); }))
                continue;  // the style or size list
            const auto hide = [view, model, offered] {
                const QStringList all = model->stringList();
                for (int row = 0; row < all.size(); ++row)
                    view->setRowHidden(row, !offered.contains(all[row]));
            };
            QObject::connect(model, &QAbstractItemModel::modelReset, view, hide);
            hide();
            return;
        }
    }

    void Beep() override
    {
        EnsureQApplication();
        QApplication::beep();
    }
};

TQtDialogService QtDialogs;
TDialogService* CurrentService = &QtDialogs;

}  // namespace

TDialogService& DialogService() { return *CurrentService; }

TDialogService* SetDialogService(TDialogService* Service)
{
    TDialogService* previous = CurrentService;
    CurrentService = Service ? Service : &QtDialogs;
    return previous;
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    static constexpr const char* Captions[] = {"Warning", "Error", "Information", "Confirm"};
    TMessageRequest request;
    request.Caption = DlgType == mtCustom ? Application->Title() : Captions[DlgType];
    request.Text = Msg;
    request.Type = DlgType;
    request.Buttons = Buttons;
    // The first button shown is the default one.
    for (const ButtonText& button : ButtonTable) {
        if (Buttons.Contains(button.Button)) {
            request.DefaultButton = button.Button;
            break;
        }
    }
    return DialogService().Message(request);
}

void ShowMessage(const String& Msg)
{
    TMessageRequest request;
    request.Caption = Application->Title();
    request.Text = Msg;
    request.Type = mtCustom;
    DialogService().Message(request);
}

bool AskYesNo(const String& Question)
{
    return MessageBoxDlg(Question, "Korvane Systems", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

int MessageBoxDlg(const String& Text, const String& Caption, int Flags)
{
    static const TMsgDlgButtons Sets[] = {
            {mbOK},        {mbOK, mbCancel},    {mbAbort, mbRetry, mbIgnore}, {mbYes, mbNo, mbCancel},
            {mbYes, mbNo}, {mbRetry, mbCancel},
    };
    static const TMsgDlgBtn Orders[][3] = {
            {mbOK, mbOK, mbOK},      {mbOK, mbCancel, mbCancel}, {mbAbort, mbRetry, mbIgnore},
            {mbYes, mbNo, mbCancel}, {mbYes, mbNo, mbNo},        {mbRetry, mbCancel, mbCancel},
    };
    const int kind = std::clamp(Flags & 0xF, 0, 5);
    TMessageRequest request;
    request.Caption = Caption;
    request.Text = Text;
    request.Buttons = Sets[kind];
    request.DefaultButton = Orders[kind][std::min(2, (Flags >> 8) & 0xF)];
    switch (Flags & 0xF0) {
    case MB_ICONHAND: request.Type = mtError; break;
    case MB_ICONQUESTION: request.Type = mtConfirmation; break;
    case MB_ICONEXCLAMATION: request.Type = mtWarning; break;
    case MB_ICONASTERISK: request.Type = mtInformation; break;
    default: request.Type = mtCustom; break;
    }
    // The modal results carry the IDOK, IDYES values.
    return DialogService().Message(request);
}

String InputBox(const String& Caption, const String& Prompt, const String& Default)
{
    String value = Default;
    return DialogService().InputQuery(Caption, Prompt, value) ? value : Default;
}

bool InputQuery(const String& Caption, const String& Prompt, String& Value)
{
    return DialogService().InputQuery(Caption, Prompt, Value);
}

void MessageBeep() { DialogService().Beep(); }

bool TOpenDialog::Execute()
{
    TFileDialogRequest request;
    request.Kind = Kind();
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    if (!DialogService().FileDialog(request))
        return false;
    FileName = request.FileName;
    FilterIndex = request.FilterIndex;
    return true;
}

bool TPrintDialog::Execute()
{
    TPrintDialogRequest request;
    request.PrinterIndex = Printer()->PrinterIndex();
    request.Copies = Copies;
    if (!DialogService().PrintDialog(request))
        return false;
    if (request.PrinterIndex >= 0)
        Printer()->SetPrinterIndex(request.PrinterIndex);
    Copies = request.Copies;
    return true;
}

bool TFontDialog::Execute() { return DialogService().FontDialog(*FFont, FFamilies); }
