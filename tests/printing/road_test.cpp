// The whole road of the program, typed from the main menu as a user types it: a
// new client, three recipients (two 1099-MISC of different income types and one
// 1099-INT), a few transactions each, then Copy B of all recipients in preview,
// the Form 1096 file copy and the electronic file. The pages and the electronic
// file are kept in build/artifacts/road/.

#include <gmock/gmock.h>

#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>

#include "app/smalldialogs.h"
#include "efile/contact1096.h"
#include "efile/efilerejects.h"
#include "efile/transmitterinfo.h"
#include "maintenance/clientbasic.h"
#include "maintenance/clientselection.h"
#include "maintenance/edittrans.h"
#include "maintenance/employeebasic.h"
#include "maintenance/employeestart.h"
#include "maintenance/incometypes.h"
#include "maintenance/transactions.h"
#include "platform/pcl/pclviewer.h"
#include "platform/rtl/fileops.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/controls/scrollbox.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"
#include "printing/print.h"
#include "printing/reportpreview.h"
#include "printing/viewpcl.h"
#include "program/programforms.h"
#include "tests/support/keepcopy.h"
#include "tests/support/screenshots.h"
#include "tests/support/shellfixture.h"

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

struct TPayment {
    const char* Date;
    const char* Description;
    const char* Amount;
};

struct TRoadRecipient {
    const char* ID;
    const char* Name;
    const char* Street;
    const char* City;
    const char* State;
    const char* Zip;
    const char* SSN;
    const char* IncomeCode;  // the line of the income-type list
    std::vector<TPayment> Payments;
};

const TRoadRecipient RoadRecipients[] = {
        {"M1",
         "CAROL YOUNG",
         "12 ELM ST",
         "TROY",
         "ny",
         "12180",
         "111223333",
         "06",
         {{"031508", "DESIGN WORK", "1500"}, {"061508", "LOGO", "250.50"}}},
        {"M2",
         "ANN MILLER",
         "40 PARK AVE",
         "ALBANY",
         "ny",
         "12207",
         "222334444",
         "01",
         {{"013108", "OFFICE RENT", "1200"},
          {"022908", "OFFICE RENT", "1200"},
          {"033108", "OFFICE RENT", "1200"}}},
        {"I1",
         "FIRST BANK",
         "1 STATE ST",
         "ALBANY",
         "ny",
         "12207",
         "333445555",
         "11",
         {{"063008", "INTEREST", "612.34"}, {"123108", "INTEREST", "10"}}},
};

// Runs Action once Ready holds; it is looked at again every 10 milliseconds.
void WhenReady(std::function<bool()> Ready, std::function<void()> Action, int Tries = 500)
{
    QTimer::singleShot(10, [Ready, Action, Tries] {
        if (Ready())
            Action();
        else if (Tries > 0)
            WhenReady(Ready, Action, Tries - 1);
        else
            ADD_FAILURE() << "never ready";
    });
}

// Types Text into the field a line's number chose, over what it held, and leaves it.
void TypeLine(TCustomForm* Form, const char* Line, std::initializer_list<const char*> Texts)
{
    TypeText(Form, "*");
    TypeText(Form, Line);
    for (const char* text : Texts) {
        TypeText(Form, text);
        PressKey(Form, Qt::Key_Return);
    }
}

// Clears the focused field and types Text into it.
void Retype(TCustomForm* Form, const char* Text)
{
    PressKey(Form, Qt::Key_End);
    for (int i = 0; i < 12; ++i)
        PressKey(Form, Qt::Key_Backspace);
    TypeText(Form, Text);
}

class RoadTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        // The form overlays lie in the program directory, as the program ships them.
        for (const auto& entry : std::filesystem::directory_iterator(SHIPPED_FORMS_DIR))
            if (entry.path().extension() == ".HP")
                std::filesystem::copy_file(entry.path(), Dir / entry.path().filename());
        Start();
        InstallForms();
    }
    void TearDown() override
    {
        for (TFViewPCL* viewer : Viewers())
            viewer->Free();
        FormPageHooks = TFormPageHooks();
        TransactionListing = nullptr;
        EFileRejectsListing = nullptr;
        SetFormImagePainter(nullptr);
        ShellFixture::TearDown();
    }

    // Main menu 04, Alt+N (New), the ID, and the payer's name, address and numbers,
    // each with Enter, then "/".
    void NewClient()
    {
        WhenUp<TFClientSelection>([](TFClientSelection* List) {
            WhenUp<TFGetFileID>([](TFGetFileID* Prompt) {
                WhenUp<TFClientBasic>([](TFClientBasic* Form) {
                    for (const char* text : {"ROAD SUPPLY CO", "", "9 RIVER RD", "", "TROY", "ny", "12180",
                                             "5185550100", "141234567"}) {
                        TypeText(Form, text);
                        PressKey(Form, Qt::Key_Return);
                    }
                    TypeText(Form, "/");
                });
                TypeText(Prompt, "08road");
                PressKey(Prompt, Qt::Key_Return);
            });
            PressKey(List, Qt::Key_N, Qt::AltModifier);
        });
        TypeText(FTotStart, "04");
    }

    // Main menu 02, then Add Employee for each recipient, answering Yes to another
    // until the last.
    void AddRecipients()
    {
        const int count = static_cast<int>(std::size(RoadRecipients));
        for (int i = 0; i < count; ++i)
            Dialogs.AnswerMessage(i + 1 < count ? mrYes : mrNo);
        WhenUp<TFEmployeeStart>([](TFEmployeeStart* List) {
            AddRecipient(0);
            ClickControl(List->KVButton1);
        });
        TypeText(FTotStart, "02");
    }
    // Each recipient's form waits for the next ID prompt before it closes.
    static void AddRecipient(size_t Index)
    {
        if (Index >= std::size(RoadRecipients))
            return;
        WhenUp<TFGetFileID>([Index](TFGetFileID* Prompt) {
            const TRoadRecipient& r = RoadRecipients[Index];
            WhenUp<TFEmployeeBasic>([Index, &r](TFEmployeeBasic* Form) {
                TypeText(Form, r.Name);
                PressKey(Form, Qt::Key_Return);
                TypeLine(Form, "03", {r.Street});
                TypeLine(Form, "04", {r.City, r.State, r.Zip});
                TypeLine(Form, "07", {r.SSN});
                WhenUp<TFSelectionList1>([&r](TFSelectionList1* List) { TypeText(List, r.IncomeCode); });
                TypeText(Form, "*09");
                AddRecipient(Index + 1);
                TypeText(Form, "/");
            });
            TypeText(Prompt, r.ID);
            PressKey(Prompt, Qt::Key_Return);
        });
    }

    // Main menu 03, the recipient picked by its ID, New Trans. and one editor per
    // payment; the last is Finished.
    void AddPayments(const TRoadRecipient& Recipient)
    {
        WhenUp<TdwLookupDlg>([&Recipient](TdwLookupDlg* Lookup) {
            TypeText(Lookup, Recipient.ID);
            PressKey(Lookup, Qt::Key_Return);
        });
        WhenUp<TFTransactions>([&Recipient](TFTransactions* Grid) {
            TypePayment(Recipient.Payments, 0);
            ClickControl(Grid->BitBtn1);
            TypeText(Grid, "/");
        });
        TypeText(FTotStart, "03");
    }
    // Main menu 03, the recipient picked by its ID, and Preview Trans. over every
    // date: the page count of the listing the report preview shows.
    int PreviewListing(const char* ID)
    {
        int pages = 0;
        WhenUp<TdwLookupDlg>([ID](TdwLookupDlg* Lookup) {
            TypeText(Lookup, ID);
            PressKey(Lookup, Qt::Key_Return);
        });
        WhenUp<TFTransactions>([&pages](TFTransactions* Grid) {
            WhenUp<TFGetDateRange>([](TFGetDateRange* Range) {
                for (int i = 0; i < 3; ++i)
                    PressKey(Range, Qt::Key_Return);
            });
            WhenUp<TFPreview>([&pages](TFPreview* Preview) {
                pages = Preview->PageCount;
                TypeText(Preview, "/");
            });
            ClickControl(Grid->BitBtn2);
            TypeText(Grid, "/");
        });
        TypeText(FTotStart, "03");
        return pages;
    }
    static void TypePayment(const std::vector<TPayment>& Payments, size_t Index)
    {
        WhenUp<TFEditTrans>([&Payments, Index](TFEditTrans* Editor) {
            const TPayment& p = Payments[Index];
            Retype(Editor, p.Date);
            PressKey(Editor, Qt::Key_Return);  // the date, then the number
            PressKey(Editor, Qt::Key_Return);
            Retype(Editor, p.Description);
            PressKey(Editor, Qt::Key_Return);
            Retype(Editor, p.Amount);
            PressKey(Editor, Qt::Key_Return);
            if (Index + 1 < Payments.size()) {
                TypePayment(Payments, Index + 1);
                TypeText(Editor, "/");  // posted; the next editor comes up
            } else {
                ClickControl(Editor->BitBtn2);  // Finished
            }
        });
    }

    // The page viewers open now.
    static std::vector<TFViewPCL*> Viewers()
    {
        std::vector<TFViewPCL*> viewers;
        for (int i = 0; i < Screen()->FormCount(); ++i)
            if (auto* viewer = dynamic_cast<TFViewPCL*>(Screen()->Forms(i)))
                viewers.push_back(viewer);
        return viewers;
    }
    // What the one viewer a preview run opened shows, pictured as Picture; the
    // viewer is closed.
    static String CloseTheViewer(const char* Picture)
    {
        const std::vector<TFViewPCL*> viewers = Viewers();
        if (viewers.size() != 1)
            return IntToStr(static_cast<int>(viewers.size())) + " viewers";
        QCoreApplication::processEvents();
        const QImage image = viewers[0]->Widget()->window()->grab().toImage();
        KeepScreenshot(image, Picture);
        const String shown = viewers[0]->Label1->Caption();
        viewers[0]->Free();
        return shown;
    }
    // The one viewer a preview run opened, used with clicks and keys while the print
    // selection stays open; what it showed after each, and whether the windows behind
    // the print selection took a click or keys meanwhile.
    static std::vector<String> UseTheViewer()
    {
        const std::vector<TFViewPCL*> viewers = Viewers();
        if (viewers.size() != 1)
            return {IntToStr(static_cast<int>(viewers.size())) + " viewers"};
        TFViewPCL* viewer = viewers[0];
        std::vector<String> steps;
        const auto note = [&](const char* What) {
            QCoreApplication::processEvents();
            const TControl* page = viewer->ADTaxViewerX1;
            steps.push_back(String(What) + ": " + viewer->Label1->Caption() + " " + IntToStr(page->Width()) +
                            "x" + IntToStr(page->Height()));
        };
        note("opened");
        SaveScreenshot(viewer, "road-viewer-opened.png");
        steps.push_back(BarsShown(viewer));
        ClickControl(viewer->btnNext);
        note("Next Page");
        SaveScreenshot(viewer, "road-viewer-page2.png");
        ClickControl(viewer->SpeedButton1);
        note("Zoom In");
        PressKey(viewer, Qt::Key_PageDown);
        TScrollBox* box = viewer->ScrollBox1;
        const int scrolled = box->VertScrollBar()->Position();
        // A screenful, or as far as the page goes on a screen that holds most of it.
        const int screenful =
                std::min(box->ClientHeight(), box->VertScrollBar()->Range() - box->ClientHeight());
        steps.push_back("PageDown: " +
                        (scrolled == screenful ? String("a screenful down") : IntToStr(scrolled)));
        PressKey(viewer, Qt::Key_Right);
        note("Right");
        PressKey(viewer, Qt::Key_Left);
        note("Left");
        ClickControl(viewer->SpeedButton2);
        note("Zoom Out");

        const int forms = Screen()->FormCount();
        ClickControl(FTotStart->BitBtn1);  // the menu's reports button
        TypeText(FTotStart, "02");
        QCoreApplication::processEvents();
        steps.push_back(Screen()->FormCount() == forms ? "behind: nothing opened" : "behind: a form opened");
        return steps;
    }

    // Whether the viewer shows a scroll bar in each direction where the page does not
    // fit, and none where it does; the page reaches the scrolled area's edges.
    static String BarsShown(TFViewPCL* Viewer)
    {
        QCoreApplication::processEvents();
        auto* area = static_cast<QScrollArea*>(Viewer->ScrollBox1->Widget());
        const TControl* page = Viewer->ADTaxViewerX1;
        const QSize view = area->viewport()->size();
        const bool wide = page->Left() + page->Width() > view.width();
        const bool tall = page->Top() + page->Height() > view.height();
        const bool right = area->horizontalScrollBar()->isVisible() == wide &&
                           area->verticalScrollBar()->isVisible() == tall;
        const QSize content = area->widget()->size();
        const bool reached = content.width() >= page->Left() + page->Width() &&
                             content.height() >= page->Top() + page->Height();
        return right && reached
                       ? String("the bars the page needs")
                       : "page " + IntToStr(page->Width()) + "x" + IntToStr(page->Height()) + " in " +
                                 IntToStr(view.width()) + "x" + IntToStr(view.height()) + ", scrolled area " +
                                 IntToStr(content.width()) + "x" + IntToStr(content.height()) + ", bars " +
                                 IntToStr(area->horizontalScrollBar()->isVisible()) + "/" +
                                 IntToStr(area->verticalScrollBar()->isVisible());
    }

    // The page files of the run just made, kept under the names Stem-1.PRN, ...
    std::vector<std::string> KeepPages(const String& Stem) const
    {
        std::vector<std::string> pages;
        for (const String& name : ListFiles(Dir.Path(), "PRN*.PRN")) {
            pages.push_back(Dir.Read(name));
            KeepArtifact(Dir / name, Stem + "-" + IntToStr(static_cast<int>(pages.size())) + ".PRN");
        }
        return pages;
    }

    // Main menu 06, and in the print selection: Copy B and Preview ticked, All
    // Employees copy by copy; the 1096 file copy after its contact person; the
    // transmitter form filled in, then the electronic file, declining the filing
    // site offered afterwards. Between the runs the pages are looked at and kept.
    void PrintAndFile()
    {
        Dialogs.AnswerMessage(mrNo);  // not collated
        Dialogs.AnswerMessage(mrNo);  // no filing site
        WhenUp<TFPrint>([this](TFPrint* Form) {
            TypeText(Form, "10");
            TypeText(Form, "13");
            TypeText(Form, "04");
            ViewerSteps = UseTheViewer();
            CopyBViewer = CloseTheViewer("road-copyb.png");
            CopyB = KeepPages("copyb");

            WhenUp<TFContact1096>([](TFContact1096* Contact) {
                TypeLine(Contact, "01", {"MARY ROAD"});
                TypeLine(Contact, "02", {"518-555-0199"});
                TypeText(Contact, "/");
            });
            TypeText(Form, "07");
            Form1096Viewer = CloseTheViewer("road-1096.png");
            Form1096 = KeepPages("form1096");

            WhenUp<TFTransmitterInfo>([](TFTransmitterInfo* Transmitter) {
                TypeLine(Transmitter, "01", {"14-1234567"});
                TypeLine(Transmitter, "02", {"A1B2C"});
                TypeLine(Transmitter, "04", {"ROAD SUPPLY CO"});
                TypeLine(Transmitter, "10", {"5185550100"});
                TypeLine(Transmitter, "11", {"MARY@ROAD.EXAMPLE"});
                TypeText(Transmitter, "/");
            });
            TypeText(Form, "05");
            TypeText(Form, "/");
        });
        TypeText(FTotStart, "06");
    }

    std::vector<String> ViewerSteps;
    String CopyBViewer;
    std::vector<std::string> CopyB;
    String Form1096Viewer;
    std::vector<std::string> Form1096;

    // Keeps a file of the run where a reviewer can open it.
    static void KeepArtifact(const String& From, const String& As)
    {
        KeepCopy(From, TOTAMUND_ARTIFACT_DIR "/road", As);
    }

    // The recipients as the table holds them: "ID|NAME1|TRANS_TYPE|TOTAMT".
    static std::vector<String> RecipientRows()
    {
        std::vector<String> rows;
        TDaroruTable* r = DClientDataBase->tblEmployee;
        r->SetOrder(r->TagArea("ID"));
        for (r->First(); !r->Eof(); r->Next())
            rows.push_back(r->FieldByName("ID")->AsString() + "|" + r->FieldByName("NAME1")->AsString() +
                           "|" + r->FieldByName("TRANS_TYPE")->AsString() + "|" +
                           FormatFloat("0.00", r->FieldByName("TOTAMT")->AsFloat()));
        return rows;
    }
};

TEST_F(RoadTest, ANewClientToItsPrintedFormsAndElectronicFile)
{
    NewClient();
    ASSERT_EQ(FMain->User->ClientID, "08ROAD");
    AddRecipients();
    for (const TRoadRecipient& r : RoadRecipients)
        AddPayments(r);
    EXPECT_EQ(RecipientRows(), (std::vector<String> {"I1|FIRST BANK|I|622.34", "M1|CAROL YOUNG|N|1750.50",
                                                     "M2|ANN MILLER|R|3600.00"}));
    EXPECT_THAT(Shown(), testing::ElementsAre("Would you like to add another employee/1099 recipient?",
                                              "Would you like to add another employee/1099 recipient?",
                                              "Would you like to add another employee/1099 recipient?"));

    PrintAndFile();

    // Copy B: one page for each recipient, in the recipients' current order, each
    // with the payer, the recipient's name, number and amount, shown in one viewer.
    EXPECT_THAT(ViewerSteps,
                ::testing::ElementsAre("opened: Page 1 of 3 816x1056", "the bars the page needs",
                                       "Next Page: Page 2 of 3 816x1056", "Zoom In: Page 2 of 3 1275x1650",
                                       "PageDown: a screenful down", "Right: Page 3 of 3 1275x1650",
                                       "Left: Page 2 of 3 1275x1650", "Zoom Out: Page 2 of 3 816x1056",
                                       "behind: nothing opened"));
    EXPECT_EQ(CopyBViewer, "Page 2 of 3");
    ASSERT_EQ(CopyB.size(), 3u);
    const char* const copyBExpected[][3] = {{"FIRST BANK", "333-44-5555", "622.34"},
                                            {"CAROL YOUNG", "111-22-3333", "1750.50"},
                                            {"ANN MILLER", "222-33-4444", "3600.00"}};
    for (size_t i = 0; i < CopyB.size(); ++i) {
        SCOPED_TRACE(copyBExpected[i][0]);
        EXPECT_THAT(CopyB[i], HasSubstr("ROAD SUPPLY CO"));
        for (const char* text : copyBExpected[i])
            EXPECT_THAT(CopyB[i], HasSubstr(text));
    }
    // Form 1096 of the 1099-MISC forms: two forms, their total, the contact person.
    EXPECT_EQ(Form1096Viewer, "Page 1 of 1");
    ASSERT_EQ(Form1096.size(), 1u);
    for (const char* text : {"ROAD SUPPLY CO", "MARY ROAD", "14-1234567", "\x1b&a20r36C2\x1b", "5,350.50"})
        EXPECT_THAT(Form1096[0], HasSubstr(text));

    const String file = Dir / "08ROAD/ELF1099";
    ASSERT_TRUE(FileExists(file));
    KeepArtifact(file, "ELF1099");
    EXPECT_EQ(Shown().back(),
              "Electronic file -- " + file +
                      " -- has been created. Would you like to open IRS FIRE web site to E-File ?");
    // One payee record for each 1099-MISC recipient: its number, name and amount.
    std::vector<String> payees;
    const std::string records = Dir.Read(file);
    for (size_t at = 0; at + 750 <= records.size(); at += 750) {
        const std::string record = records.substr(at, 748);
        if (record[0] != 'B')
            continue;
        const auto amount = [&record](int Box) { return record.substr(54 + 12 * (Box - 1), 12); };
        payees.push_back(record.substr(11, 9) + "|" + Trim(record.substr(247, 40)) + "|" + amount(1) + "|" +
                         amount(7));
    }
    EXPECT_EQ(payees, (std::vector<String> {"111223333|CAROL YOUNG|000000000000|000000175050",
                                            "222334444|ANN MILLER|000000360000|000000000000"}));

    // Back in 03, the grid's preview runs the transactions listing of a recipient.
    EXPECT_EQ(PreviewListing("M1"), 1);
    EXPECT_TRUE(FileExists(Dir / "PRV0001.BMP"));
}

// The README's first road, key by key: a client, one recipient, one payment, and
// Copy B of every recipient in the page viewer, which "/" closes.
TEST_F(RoadTest, TheReadmesFirstRoadEndsOnCopyB)
{
    Dialogs.AnswerMessage(mrNo);  // no other recipient
    Dialogs.AnswerMessage(mrNo);  // not collated
    NewClient();
    ASSERT_EQ(FMain->User->ClientID, "08ROAD");

    // 02, Alt+A, the ID; the name, *03 the street, *04 city, state and ZIP, *07 the
    // taxpayer number, *09 and the income type's line on its list; "/"; No.
    WhenUp<TFEmployeeStart>([](TFEmployeeStart* List) {
        WhenUp<TFGetFileID>([](TFGetFileID* Prompt) {
            WhenUp<TFEmployeeBasic>([](TFEmployeeBasic* Form) {
                TypeText(Form, "CAROL YOUNG");
                PressKey(Form, Qt::Key_Return);
                TypeLine(Form, "03", {"12 ELM ST"});
                TypeLine(Form, "04", {"TROY", "NY", "12180"});
                TypeLine(Form, "07", {"111223333"});
                WhenUp<TFSelectionList1>([](TFSelectionList1* Types) { TypeText(Types, "06"); });
                TypeText(Form, "*09");
                TypeText(Form, "/");
            });
            TypeText(Prompt, "M1");
            PressKey(Prompt, Qt::Key_Return);
        });
        PressKey(List, Qt::Key_A, Qt::AltModifier);
    });
    TypeText(FTotStart, "02");

    // 03, the ID, Enter; Alt+N, the date, Enter, Enter, the description, Enter, the
    // amount, Enter; Alt+F; "/".
    WhenUp<TdwLookupDlg>([](TdwLookupDlg* Lookup) {
        TypeText(Lookup, "M1");
        PressKey(Lookup, Qt::Key_Return);
    });
    WhenUp<TFTransactions>([](TFTransactions* Grid) {
        auto finished = std::make_shared<bool>(false);
        WhenUp<TFEditTrans>([finished](TFEditTrans* Editor) {
            for (const char* text : {"031508", "", "DESIGN WORK", "1500"}) {
                TypeText(Editor, text);
                PressKey(Editor, Qt::Key_Return);
            }
            PressKey(Editor, Qt::Key_F, Qt::AltModifier);
            *finished = true;
        });
        // A button's Alt key presses it a moment later, as a click would.
        WhenReady([finished, Grid] { return *finished && TCustomForm::InnermostModalForm() == Grid; },
                  [Grid] { TypeText(Grid, "/"); });
        PressKey(Grid, Qt::Key_N, Qt::AltModifier);
    });
    TypeText(FTotStart, "03");
    EXPECT_EQ(RecipientRows(), std::vector<String> {"M1|CAROL YOUNG|N|1500.00"});

    // 06, 10 (Copy B), 13 (Preview), 04 (All Employees), No; the viewer shows Copy B.
    String shown;
    std::string page;
    int viewersAfterSlash = -1;
    WhenUp<TFPrint>([&](TFPrint* Form) {
        for (const char* line : {"10", "13", "04"})
            TypeText(Form, line);
        const std::vector<TFViewPCL*> viewers = Viewers();
        if (viewers.size() == 1) {
            SaveScreenshot(viewers[0], "readme-road-copyb.png");
            shown = viewers[0]->Label1->Caption();
            const std::vector<std::string> pages = KeepPages("readme-copyb");
            if (pages.size() == 1)
                page = pages[0];
            TypeText(viewers[0], "/");
            QCoreApplication::processEvents();
            viewersAfterSlash = static_cast<int>(Viewers().size());
        }
        TypeText(Form, "/");
    });
    TypeText(FTotStart, "06");

    EXPECT_THAT(Shown(), testing::ElementsAre("Would you like to add another employee/1099 recipient?",
                                              "Would you like to print collated?"));
    EXPECT_EQ(shown, "Page 1 of 1");
    for (const char* text : {"ROAD SUPPLY CO", "CAROL YOUNG", "111-22-3333", "1500.00"})
        EXPECT_THAT(page, HasSubstr(text));
    EXPECT_EQ(viewersAfterSlash, 0);
}

// The missing-items form of an electronic file prints through the reject listing.
TEST_F(RoadTest, MissingItemsPrintThroughTheRejectListing)
{
    MakeClient("08ROAD", "ROAD SUPPLY CO");
    FMain->User->ClientID = "08ROAD";
    DClientDataBase->OpenClient();
    FMain->Preview = true;
    TStringList items;
    items.Add("Transmitter TIN Required information missing");
    int pages = 0;
    WhenUp<TFEFileRejects>([&pages](TFEFileRejects* Form) {
        WhenUp<TFPreview>([&pages](TFPreview* Preview) {
            pages = Preview->PageCount;
            TypeText(Preview, "/");
        });
        ClickControl(Form->BitBtn2);  // Print
        ClickControl(Form->BitBtn1);  // Close
    });
    ShowEFileRejects(items);
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(Shown().empty()) << Shown().front();
}

}  // namespace
