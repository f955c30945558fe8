// The tool bar, the section header, the bevel and the button of the library.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include "controls/kvbevel.h"
#include "controls/kvbutton.h"
#include "controls/kvglyphs.h"
#include "controls/kvheader.h"
#include "controls/kvtoolbar.h"
#include "tests/controls/entryform.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// The entry form with a tool bar along its top.
class TToolBarForm : public TEntryForm {
public:
    explicit TToolBarForm(TComponent* AOwner) : TEntryForm(AOwner)
    {
        Bar = new TKVToolBar(this);
        Bar->SetParent(this);
    }
    TKVToolBar* Bar;
};

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = Construct<TToolBarForm>(nullptr);
        ShowForm(Form);
    }
    void TearDown() override { Form->Free(); }

    // The buttons shown on the bar, with their left edges.
    std::vector<std::pair<String, int>> Shown() const
    {
        std::vector<std::pair<String, int>> shown;
        for (TBitBtn* button :
             {Form->Bar->PrintButton(), Form->Bar->PreviewButton(), Form->Bar->NotesButton()}) {
            if (button->Parent() == Form->Bar)
                shown.emplace_back(button->Caption(), button->Left());
        }
        return shown;
    }
    static bool HasGlyph(TBitBtn* Button, const String& Name)
    {
        TBitmap expected;
        LoadProgramBitmap(expected, Name);
        return Button->Glyph()->Image() == expected.Image();
    }

    TToolBarForm* Form = nullptr;
};

TEST_F(ToolBarTest, NewBarShowsNoButton)
{
    EXPECT_THAT(Shown(), IsEmpty());
    EXPECT_EQ(Form->Bar->Height(), 30);
    EXPECT_EQ(Form->Bar->Align(), alTop);
}

TEST_F(ToolBarTest, ButtonsArePlacedByPrintAndNotesSettings)
{
    using Row = std::pair<String, int>;
    Form->Bar->SetPrintEnabled(true);
    Form->Bar->SetNotesStatus(2);
    EXPECT_THAT(Shown(), ElementsAre(Row {"&Print", 4}, Row {"Pre&view", 81}, Row {"[F4]-Notes", 158}));
    EXPECT_TRUE(HasGlyph(Form->Bar->NotesButton(), "kvnotesfull"));

    Form->Bar->SetPrintEnabled(false);
    Form->Bar->SetNotesStatus(1);
    EXPECT_THAT(Shown(), ElementsAre(Row {"[F4]-Notes", 4}));
    EXPECT_TRUE(HasGlyph(Form->Bar->NotesButton(), "kvnotes"));
    EXPECT_FALSE(HasGlyph(Form->Bar->NotesButton(), "kvnotesfull"));

    Form->Bar->SetPrintEnabled(true);
    Form->Bar->SetNotesStatus(0);
    EXPECT_THAT(Shown(), ElementsAre(Row {"&Print", 4}, Row {"Pre&view", 81}));
    EXPECT_TRUE(HasGlyph(Form->Bar->PrintButton(), "kvprintbmp"));
    EXPECT_EQ(Form->Bar->PrintButton()->NumGlyphs(), 2);
}

TEST_F(ToolBarTest, PrintAndPreviewFireWithTheBarAsSender)
{
    std::vector<String> fired;
    Form->Bar->SetPrintEnabled(true);
    Form->Bar->PrintButton()->Click();  // nothing assigned: nothing happens
    Form->Bar->OnPrint = [&](TObject* Sender) { fired.push_back(Sender == Form->Bar ? "print" : "?"); };
    Form->Bar->OnPreview = [&](TObject* Sender) { fired.push_back(Sender == Form->Bar ? "preview" : "?"); };
    Form->Bar->PrintButton()->Click();
    Form->Bar->PreviewButton()->Click();
    EXPECT_THAT(fired, ElementsAre("print", "preview"));
}

TEST_F(ToolBarTest, NotesButtonActsAsF4OnTheForm)
{
    std::vector<Word> keys;
    Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); };
    Form->Bar->SetNotesStatus(1);
    Form->Bar->NotesButton()->Click();
    EXPECT_THAT(keys, ElementsAre(Word(VK_F1 + 3)));
}

TEST(SectionControls, HeaderShowsPartAndTitle)
{
    auto* form = Construct<TForm>(nullptr);
    auto* header = new TKVHeader(form);
    header->SetParent(form);
    header->SetPart("Basic");
    header->SetTitle("Employer/Client Basic Information");
    EXPECT_EQ(header->PartLabel()->Caption(), "Basic");
    EXPECT_EQ(header->Title(), "Employer/Client Basic Information");
    EXPECT_EQ(header->Color(), clBlack);
    EXPECT_EQ(header->Height(), 21);
    EXPECT_EQ(header->InnerPanel()->Color(), clBtnShadow);
    EXPECT_EQ(header->PartLabel()->Parent(), header->InnerPanel());
    EXPECT_TRUE(header->PartLabel()->Font()->Style().Contains(fsBold));
    EXPECT_EQ(header->TitleLabel()->Font()->Color(), clWhite);
    EXPECT_EQ(header->TitleLabel()->Left(), 56);
    form->Free();
}

TEST(SectionControls, BevelAndButtonDefaults)
{
    auto* form = Construct<TForm>(nullptr);
    auto* bevel = new TKVBevel(form);
    EXPECT_EQ(bevel->Height(), 23);
    EXPECT_EQ(bevel->Shape(), bsFrame);
    EXPECT_EQ(bevel->Style(), bsRaised);
    auto* button = new TKVButton(form);
    EXPECT_EQ(button->Height(), 19);
    EXPECT_TRUE(button->Is<TButton>());
    form->Free();
}

}  // namespace
