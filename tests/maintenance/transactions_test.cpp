// The transaction grid driven by keys: the new-transaction loop with its numbers,
// dates and endings, edit, Cancel, delete, search, the listing buttons, the colours
// and the recipient's totals after every change.

#include <gmock/gmock.h>

#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/colors.h"
#include "tests/maintenance/transactionformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using TransactionGridTest = TransactionFormsFixture;

// Types a date, number, description and amount as a user does, each ended with
// Enter; the amount's exit leaves the focus in the selection entry.
void TypeTransaction(TFEditTrans* Editor, const char* Date, const char* Description, const char* Amount)
{
    if (*Date)
        Retype(Editor, Date);
    PressKey(Editor, Qt::Key_Return);  // the date check, then the number
    PressKey(Editor, Qt::Key_Return);  // the number stays
    if (*Description)
        Retype(Editor, Description);
    PressKey(Editor, Qt::Key_Return);
    Retype(Editor, Amount);
    PressKey(Editor, Qt::Key_Return);
}

TEST_F(TransactionGridTest, NewLoopNumbersFromOneAndCarriesTheDate)
{
    std::vector<String> seen;
    const auto note = [&seen](TFEditTrans* Editor) {
        seen.push_back(ActiveControlName(Editor) + "|" + Editor->KVDBIntEdit1->Text() + "|" +
                       Editor->KVDBDateEditAmerican1->Text() + "|" + Editor->KVDBEdit1->Text());
    };
    ScriptEditors({
            [&](TFEditTrans* Editor) {
                note(Editor);
                TypeTransaction(Editor, "123108", "LAWN CARE", "150.25");
                seen.push_back(ActiveControlName(Editor));
                TypeText(Editor, "/");
            },
            [&](TFEditTrans* Editor) {
                note(Editor);
                TypeTransaction(Editor, "", "", "-200");
                Editor->BitBtn2->Click();  // Finished: posted, the loop ends
            },
            // A second use of New numbers from 1 again, with no date.
            [&](TFEditTrans* Editor) {
                note(Editor);
                Editor->BitBtn4->Click();  // Cancel: dropped
            },
    });
    std::vector<String> rows;
    WithGrid("A1", [&](TFTransactions* Grid) {
        EXPECT_THAT(GridRows(), IsEmpty());
        EXPECT_EQ(Grid->KVDBDoubleEdit1->Font()->Color(), clWhite);
        Grid->BitBtn1->Click();
        rows = GridRows();
        EXPECT_EQ(Grid->KVDBDoubleEdit1->Font()->Color(), TColor(255));
        Grid->BitBtn1->Click();
    });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(seen, ElementsAre("KVDBDateEditAmerican1|1||CONTRACT LABOR", "entry",
                                  "KVDBDateEditAmerican1|2|12/31/2008|CONTRACT LABOR",
                                  "KVDBDateEditAmerican1|1||CONTRACT LABOR"));
    EXPECT_THAT(rows, ElementsAre("1|12/31/2008|LAWN CARE|150.25", "2|12/31/2008|CONTRACT LABOR|-200.00"));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(-49.75, 0, 0, 0, 0, 0));
    EXPECT_THAT(Shown(), IsEmpty());
}

// After the amount the focus is in the selection entry, where digits choose a line: a
// withholding is typed on its line, which gives the entry back after Enter.
TEST_F(TransactionGridTest, AWithholdingIsTypedOnItsLineAfterTheAmount)
{
    String afterWithholding;
    ScriptEditors({
            [&](TFEditTrans* Editor) {
                TypeTransaction(Editor, "123108", "LAWN CARE", "100");
                TypeInLine(Editor, "05", "25");
                afterWithholding = ActiveControlName(Editor);
                TypeText(Editor, "/");
            },
            [](TFEditTrans* Editor) { Editor->BitBtn4->Click(); },
    });
    WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
    EXPECT_TRUE(EditorsDone());
    EXPECT_EQ(afterWithholding, "entry");
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(100, 25, 0, 0, 0, 0));
}

// How an editor of the New loop is closed decides what becomes of its transaction.
// Its close box keeps the transaction, with the amount still being typed, and ends
// the loop: a next editor would be left open, and its blank transaction posted.
TEST_F(TransactionGridTest, NewLoopEndings)
{
    struct TCase {
        const char* How;
        const char* Description;
        const char* Amount;
        std::vector<String> Rows;
    };
    const TCase cases[] = {
            {"finished", "", "0", {}},
            {"finished", "", "12.5", {"1|||12.50"}},
            {"finished", "RENT", "0", {"1||RENT|0.00"}},
            {"cancel", "RENT", "12.5", {}},
            {"escape", "RENT", "12.5", {}},
            {"close box", "RENT", "12.5", {"1||RENT|12.50"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.How) + " " + c.Description + " " + c.Amount);
        ScriptEditors({[&c](TFEditTrans* Editor) {
            PressKey(Editor, Qt::Key_Return);
            PressKey(Editor, Qt::Key_Return);
            Retype(Editor, c.Description);
            PressKey(Editor, Qt::Key_Return);
            Retype(Editor, c.Amount);
            if (String(c.How) == "close box")
                return RequestClose(Editor);
            PressKey(Editor, Qt::Key_Return);
            if (String(c.How) == "escape")
                PressKey(Editor, Qt::Key_Escape);
            else
                (String(c.How) == "cancel" ? Editor->BitBtn4 : Editor->BitBtn2)->Click();
        }});
        std::vector<String> rows;
        WithGrid("A", [&](TFTransactions* Grid) {
            Grid->BitBtn1->Click();
            rows = GridRows();
        });
        EXPECT_TRUE(EditorsDone());
        EXPECT_EQ(rows, c.Rows);
        // The next case starts from an empty grid again.
        TDaroruTable* t = DClientDataBase->tblTransactions;
        for (t->First(); !t->Eof(); t->First())
            t->DaroruDelete();
    }
}

// The session ends in the New loop while the second payment's amount is being typed:
// the editor closes as its close box does, keeping that payment, and no blank one is
// appended after it. The file is read as the ended program leaves it.
class TransactionSessionEndTest : public TransactionFormsFixture {
protected:
    [[noreturn]] void EndTheSessionInTheNewLoop()
    {
        ScriptEditors({
                [](TFEditTrans* Editor) {
                    TypeTransaction(Editor, "123108", "LAWN CARE", "150.25");
                    TypeText(Editor, "/");
                },
                [](TFEditTrans* Editor) {
                    for (int i = 0; i < 3; ++i)
                        PressKey(Editor, Qt::Key_Return);  // date, number, description
                    Retype(Editor, "99.50");
                    RequestQuit();
                },
        });
        WithGrid("A1", [](TFTransactions* Grid) { Grid->BitBtn1->Click(); });
        QCoreApplication::processEvents();  // the session's end goes on to the main window
        String disk;
        for (const String& line : TransactionsOnDisk())
            disk += line + "; ";
        std::fprintf(stderr, "on disk: %s%s\n", disk.c_str(),
                     Application->Terminated() ? "ended" : "running");
        std::exit(0);
    }
};

TEST_F(TransactionSessionEndTest, TheSessionsEndInTheNewLoopAppendsNothingMore)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(EndTheSessionInTheNewLoop(), ::testing::ExitedWithCode(0),
                "on disk: 1 20081231 150.25; 2 20081231 99.50; deleted 0; ended");
}

// An amount too large for the file is refused when the transaction is posted; the
// editor comes back with what was typed, to be corrected, and nothing is lost.
TEST_F(TransactionGridTest, RefusedTransactionComesBackToTheEditor)
{
    std::vector<String> amounts;
    ScriptEditors({
            [](TFEditTrans* Editor) {
                TypeTransaction(Editor, "010508", "BIG JOB", "123456789");
                TypeText(Editor, "/");
            },
            [&](TFEditTrans* Editor) {
                // Still a new transaction: it starts at the date again.
                amounts.push_back(ActiveControlName(Editor) + " " + Editor->KVDBEdit1->Text() + " " +
                                  Editor->KVDBDoubleEdit1->Text());
                TypeTransaction(Editor, "", "", "1234567.89");
                Editor->BitBtn2->Click();
            },
    });
    std::vector<String> rows;
    WithGrid("A1", [&](TFTransactions* Grid) {
        Grid->SetActiveControl(Grid->BitBtn1);
        PressKey(Grid, Qt::Key_Space);
        rows = GridRows();
    });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(Shown(), ElementsAre("Translate error. Value out of bounds."));
    EXPECT_THAT(amounts, ElementsAre("KVDBDateEditAmerican1 BIG JOB $123,456,789.00"));
    EXPECT_THAT(rows, ElementsAre("1|01/05/2008|BIG JOB|1234567.89"));
    EXPECT_THAT(TotalsOnDisk(), ElementsAre("A1|123456789,0,0,0,0,0|123456789,0,0,0,0,0",
                                            "A|0,0,0,0,0,0|0,0,0,0,0,0", "I1|0,0,0,0,0,0|0,0,0,0,0,0"));
}

class TransactionChangesTest : public TransactionFormsFixture {
protected:
    void SetUp() override
    {
        TransactionFormsFixture::SetUp();
        AddTransaction("A1", 7, "03/15/2008", 100, "FENCE");
        AddTransaction("A", 1, "01/02/2008", 999, "OTHER RECIPIENT");
        AddTransaction("A1", 9, "01/10/2008", 50.5, "PAINT");
    }
    // An order other than by date, as another form may have left the table in.
    static void OrderByDescription()
    {
        TDaroruTable* t = DClientDataBase->tblTransactions;
        t->SetOrder(t->TagArea("DESCR"));
    }
};

TEST_F(TransactionChangesTest, EnterEditsTheCurrentTransactionAndCancelRevertsIt)
{
    std::vector<String> focus;
    ScriptEditors({
            [&](TFEditTrans* Editor) {
                focus.push_back(ActiveControlName(Editor));
                TypeText(Editor, "04");  // the amount, by its label number
                Retype(Editor, "-300");
                PressKey(Editor, Qt::Key_Return);
                TypeText(Editor, "/");
            },
            [&](TFEditTrans* Editor) {
                TypeInLine(Editor, "03", "CHANGED");
                Editor->BitBtn4->Click();
            },
    });
    std::vector<std::vector<String>> rows;
    std::vector<TColor> colours;
    WithGrid("A1", [&](TFTransactions* Grid) {
        rows.push_back(GridRows());
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Return);
        rows.push_back(GridRows());
        colours.push_back(Grid->KVDBDoubleEdit1->Font()->Color());
        // Back from the editor the form stands in its selection entry.
        EXPECT_EQ(ActiveControlName(Grid), "entry");
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Return);
        rows.push_back(GridRows());
    });
    EXPECT_TRUE(EditorsDone());
    // An edited transaction opens at the selection entry, not at its date.
    EXPECT_THAT(focus, ElementsAre("entry"));
    EXPECT_THAT(rows, ElementsAre(ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00"),
                                  ElementsAre("9|01/10/2008|PAINT|-300.00", "7|03/15/2008|FENCE|100.00"),
                                  ElementsAre("9|01/10/2008|PAINT|-300.00", "7|03/15/2008|FENCE|100.00")));
    EXPECT_THAT(colours, ElementsAre(TColor(255)));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(-200, 0, 0, 0, 0, 0));
}

TEST_F(TransactionChangesTest, DeleteAsksFirstAndEmptyGridsTakeNeitherEditNorDelete)
{
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerMessage(mrYes);
    std::vector<std::vector<String>> rows;
    WithGrid("A1", [&](TFTransactions* Grid) {
        Grid->SetActiveControl(Grid->dwDBGrid1);
        for (int i = 0; i < 3; ++i) {
            Grid->SetActiveControl(Grid->dwDBGrid1);
            PressKey(Grid, Qt::Key_Delete);
            rows.push_back(GridRows());
        }
        EXPECT_EQ(Grid->KVDBDoubleEdit1->Text(), "$.00");
        // Nothing left: no question, no editor, no blank transaction.
        PressKey(Grid, Qt::Key_Delete);
        PressKey(Grid, Qt::Key_Return);
        rows.push_back(GridRows());
    });
    EXPECT_THAT(Shown(), ElementsAre("Are you sure you want to delete this transaction for - PAINT ?",
                                     "Are you sure you want to delete this transaction for - PAINT ?",
                                     "Are you sure you want to delete this transaction for - FENCE ?"));
    EXPECT_THAT(rows, ElementsAre(ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00"),
                                  ElementsAre("7|03/15/2008|FENCE|100.00"), IsEmpty(), IsEmpty()));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(0, 0, 0, 0, 0, 0));
    // The other recipient's transaction stays.
    EXPECT_EQ(DClientDataBase->tblTransactions->RecCount(), 1);
}

TEST_F(TransactionChangesTest, SearchFindsByNumberEditsAndListsByDate)
{
    ScriptEditors({[](TFEditTrans* Editor) {
        EXPECT_EQ(Editor->KVDBEdit1->Text(), "FENCE");
        TypeInLine(Editor, "03", "FENCE POSTS");
        TypeText(Editor, "/");
    }});
    std::vector<String> rows;
    OrderByDescription();
    WithGrid("A1", [&](TFTransactions* Grid) {
        EXPECT_THAT(GridRows(), ElementsAre("7|03/15/2008|FENCE|100.00", "9|01/10/2008|PAINT|50.50"));
        WhenShown<TdwLookupDlg>([](TdwLookupDlg* Lookup) {
            TypeText(Lookup, "7");
            PressKey(Lookup, Qt::Key_Return);
        });
        Grid->BitBtn3->Click();
        rows = GridRows();
    });
    EXPECT_TRUE(EditorsDone());
    EXPECT_THAT(rows, ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE POSTS|100.00"));
}

// A session of adds, edits and deletes leaves the recipient's six totals equal to the
// sums of its transactions, as another reader finds them in the files.
TEST_F(TransactionChangesTest, TotalsMatchTheTransactionsOnDisk)
{
    FMain->User->StateAmount = true;
    ScriptEditors({
            [](TFEditTrans* Editor) {
                TypeTransaction(Editor, "020108", "", "1234.56");
                TypeInLine(Editor, "05", "10.10");
                TypeText(Editor, "/");
            },
            [](TFEditTrans* Editor) {
                TypeTransaction(Editor, "", "", "0.07");
                TypeInLine(Editor, "07", "0.03");
                TypeInLine(Editor, "08", "99.99");
                TypeInLine(Editor, "09", "0.01");
                Editor->BitBtn2->Click();
            },
            [](TFEditTrans* Editor) {
                TypeInLine(Editor, "04", "0.1");
                TypeText(Editor, "/");
            },
    });
    Dialogs.AnswerMessage(mrYes);
    WithGrid("A1", [&](TFTransactions* Grid) {
        Grid->BitBtn1->Click();
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Return);  // PAINT, the first by date, to 0.10
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Down);
        PressKey(Grid, Qt::Key_Delete);  // the second row: 1,234.56
    });
    EXPECT_TRUE(EditorsDone());
    // 100.00 + 0.10 + 0.07; the other recipient's totals were never recalculated here.
    EXPECT_THAT(TotalsOnDisk(), ElementsAre("A1|10017,0,7,3,9999,1|10017,0,7,3,9999,1",
                                            "A|0,0,0,0,0,0|99900,0,0,0,0,0", "I1|0,0,0,0,0,0|0,0,0,0,0,0"));
}

TEST_F(TransactionChangesTest, MainMenuAsksForTheRecipientAndShowsOnlyItsTransactions)
{
    std::vector<String> rows;
    String name;
    WhenShown<TdwLookupDlg>([](TdwLookupDlg* Lookup) {
        TypeText(Lookup, "A1");
        PressKey(Lookup, Qt::Key_Return);
    });
    WhenShown<TFTransactions>([&](TFTransactions* Grid) {
        name = Grid->KVDBEdit1->Text();
        rows = GridRows();
        Grid->Close();
    });
    TypeText(FTotStart, "03");
    EXPECT_EQ(name, "JOHN SMITH");
    EXPECT_THAT(rows, ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00"));
    EXPECT_THAT(Shown(), IsEmpty());
}

// Totals too large for the recipient's fields are refused with a message; the grid
// still opens on the recipient's own transactions, where they can be put right.
TEST_F(TransactionChangesTest, TotalsTooLargeAreSaidAndCanBePutRight)
{
    AddTransaction("A1", 20, "05/01/2008", 6000000, "SALE ONE");
    AddTransaction("A1", 21, "05/02/2008", 6000000, "SALE TWO");
    Dialogs.AnswerMessage(mrYes);
    std::vector<std::vector<String>> rows;
    WithGrid("A1", [&](TFTransactions* Grid) {
        rows.push_back(GridRows());
        Grid->SetActiveControl(Grid->dwDBGrid1);
        for (int i = 0; i < 2; ++i)
            PressKey(Grid, Qt::Key_Down);
        PressKey(Grid, Qt::Key_Delete);
        rows.push_back(GridRows());
    });
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_THAT(Shown()[0], ::testing::HasSubstr("too large"));
    EXPECT_EQ(Shown()[1], "Are you sure you want to delete this transaction for - SALE ONE ?");
    EXPECT_THAT(rows, ElementsAre(ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00",
                                              "20|05/01/2008|SALE ONE|6000000.00",
                                              "21|05/02/2008|SALE TWO|6000000.00"),
                                  ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00",
                                              "21|05/02/2008|SALE TWO|6000000.00")));
    EXPECT_THAT(StoredTotals("A1"), ElementsAre(6000150.5, 0, 0, 0, 0, 0));
}

// A recipient kept from before IDs were checked keeps its own transactions and totals.
TEST_F(TransactionChangesTest, RecipientWithAQuoteInItsID)
{
    AddRecipient("O'NEIL", "PAT O'NEIL", "N");
    AddTransaction("O'NEIL", 1, "02/02/2008", 12.5, "HAULING");
    std::vector<String> rows;
    WithGrid("O'NEIL", [&](TFTransactions*) { rows = GridRows(); });
    EXPECT_THAT(rows, ElementsAre("1|02/02/2008|HAULING|12.50"));
    EXPECT_THAT(StoredTotals("O'NEIL"), ElementsAre(12.5, 0, 0, 0, 0, 0));
}

TEST_F(TransactionChangesTest, ListingButtons)
{
    std::vector<String> listed;
    OrderByDescription();
    WithGrid("A1", [&](TFTransactions* Grid) {
        Grid->BitBtn4->Click();
        Grid->BitBtn2->Click();
        EXPECT_THAT(Shown(), ElementsAre(NotAvailableMessage, NotAvailableMessage));
        TransactionListing = [&](const String& ID) {
            listed.push_back(ID + (FMain->Preview ? " preview" : " print"));
        };
        Grid->BitBtn4->Click();  // the print dialog is cancelled: nothing changes
        EXPECT_EQ(Grid->dwDBGrid1->DataSource(), DClientDataBase->dsTransactions);
        EXPECT_THAT(GridRows(), ElementsAre("7|03/15/2008|FENCE|100.00", "9|01/10/2008|PAINT|50.50"));
        Dialogs.AnswerPrinter(-1, 1);
        Grid->BitBtn4->Click();
        Grid->BitBtn2->Click();
        EXPECT_THAT(GridRows(), ElementsAre("9|01/10/2008|PAINT|50.50", "7|03/15/2008|FENCE|100.00"));
    });
    TransactionListing = nullptr;
    EXPECT_THAT(listed, ElementsAre("A1 print", "A1 preview"));
}

// In the grid the form's keyboard commands stay out of the way, except those the grid
// passes on: a double click edits the row clicked, '/' closes the form.
TEST_F(TransactionChangesTest, GridKeysAndDoubleClick)
{
    String edited;
    ScriptEditors({[&](TFEditTrans* Editor) {
        edited = Editor->KVDBEdit1->Text();
        Editor->BitBtn4->Click();
    }});
    std::vector<bool> preview;
    TModalResult closed = mrNone;
    WithGrid("A1", [&](TFTransactions* Grid) {
        TdwDBGrid* grid = Grid->dwDBGrid1;
        Grid->SetActiveControl(grid);
        preview.push_back(Grid->KeyPreview());
        Grid->SetActiveControl(Grid->BitBtn1);
        preview.push_back(Grid->KeyPreview());
        const TRect cell = grid->CellRect(2, 2);  // the second transaction's date
        const QPoint centre((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
        QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseDClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, centre);
        Grid->SetActiveControl(grid);
        TypeText(Grid, "/");
        closed = Grid->ModalResult();
    });
    EXPECT_THAT(preview, ElementsAre(false, true));
    EXPECT_EQ(edited, "FENCE");
    EXPECT_NE(closed, mrNone);
}

// Rows are banded by their place on the screen, whichever transaction stands there;
// the current cell is navy.
TEST_F(TransactionChangesTest, RowColoursFollowTheScreenRows)
{
    for (int n = 10; n < 40; ++n)
        AddTransaction("A1", n, "04/01/2008", n, "WEEKLY");
    struct TCell {
        int Row;
        bool Highlight;
        TColor Brush;
        bool Bold;
    };
    std::vector<std::vector<TCell>> paints;
    int topRowChanges = 0;
    bool recording = false;
    WithGrid("A1", [&](TFTransactions* Grid) {
        TdwDBGrid* grid = Grid->dwDBGrid1;
        const auto colours = grid->OnCalcCellColors;
        grid->OnCalcCellColors = [&, colours](TObject* S, TField* F, TGridDrawState St, bool H, TFont* AF,
                                              TBrush* AB) {
            colours(S, F, St, H, AF, AB);
            if (recording)
                paints.back().push_back({grid->PaintingRow(), H, AB->Color(), AF->Style().Contains(fsBold)});
        };
        const auto scrolled = grid->OnTopRowChanged;
        grid->OnTopRowChanged = [&, scrolled](TObject* S) {
            ++topRowChanges;
            scrolled(S);
        };
        const auto paint = [&] {
            paints.emplace_back();
            recording = true;
            grid->Widget()->grab();
            recording = false;
        };
        Grid->SetActiveControl(grid);
        paint();
        for (int i = 0; i < grid->VisibleRowCount() + 3; ++i)
            PressKey(Grid, Qt::Key_Down);
        paint();
    });
    EXPECT_GT(topRowChanges, 0);
    ASSERT_EQ(paints.size(), 2u);
    for (const std::vector<TCell>& cells : paints) {
        ASSERT_FALSE(cells.empty());
        int highlighted = 0;
        for (const TCell& c : cells) {
            if (c.Highlight) {
                ++highlighted;
                EXPECT_EQ(c.Brush, clNavy);
            } else {
                EXPECT_EQ(c.Brush, c.Row % 2 == 0 ? TColor(0x80FFFF) : clWhite) << c.Row;
            }
            EXPECT_TRUE(c.Bold);
        }
        EXPECT_EQ(highlighted, 1);
    }
}

// The grid and the editor, for a person to look at.
TEST_F(TransactionChangesTest, Screenshots)
{
    AddTransaction("A1", 8, "04/30/2008", -400, "REFUND OF OVERPAYMENT");
    ScriptEditors({[&](TFEditTrans* Editor) {
        TypeText(Editor, "050508");
        PressKey(Editor, Qt::Key_Return);
        SaveScreenshot(Editor, "transaction-editor.png");
        Editor->BitBtn4->Click();
    }});
    WithGrid("A1", [&](TFTransactions* Grid) {
        Grid->SetActiveControl(Grid->dwDBGrid1);
        PressKey(Grid, Qt::Key_Down);
        SaveScreenshot(Grid, "transaction-grid.png");
        Grid->BitBtn1->Click();
    });
    EXPECT_TRUE(EditorsDone());
}

}  // namespace
