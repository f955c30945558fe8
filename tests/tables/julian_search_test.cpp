// Julian day numbers, the component search and the version text.

#include <gtest/gtest.h>

#include "platform/classes/datamodule.h"
#include "platform/classes/screen.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "tables/drodset.h"
#include "tables/droerror.h"
#include "tables/drojulian.h"
#include "tables/drosearch.h"

namespace {

TEST(Julian, YearStartsAndDaysOfTheYear)
{
    EXPECT_EQ(YearToJulian(1), 0);
    EXPECT_EQ(YearToJulian(2000), 730119);
    EXPECT_EQ(JulianDayYear(2000, 2, 29), 60);
    EXPECT_EQ(JulianDayYear(2000, 12, 31), 366);
    EXPECT_EQ(JulianDayYear(1999, 2, 29), -1);
    EXPECT_EQ(JulianDayYear(1999, 13, 1), -1);
    int month = -1, day = -1;
    EXPECT_FALSE(MonthDay(2001, 366, month, day));
    EXPECT_EQ(month, 0);
    EXPECT_EQ(day, 0);
    EXPECT_TRUE(MonthDay(2000, 366, month, day));
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, 31);
    EXPECT_TRUE(MonthDay(2000, 60, month, day));
    EXPECT_EQ(month, 2);
    EXPECT_EQ(day, 29);
    EXPECT_TRUE(MonthDay(2001, 60, month, day));
    EXPECT_EQ(month, 3);
    EXPECT_EQ(day, 1);
}

TEST(Julian, DatesConvertBothWays)
{
    const struct {
        int Year, Month, Day;
        double Julian;
    } cases[] = {
            {2000, 1, 1, 2451545}, {2000, 2, 29, 2451604}, {2000, 12, 31, 2451910}, {1999, 12, 31, 2451544},
            {1900, 3, 1, 2415080}, {2024, 2, 29, 2460370}, {1001, 1, 1, 2086668},
    };
    for (const auto& c : cases) {
        const TDateTime date = EncodeDate(c.Year, c.Month, c.Day);
        EXPECT_EQ(DTtoJulian(date), c.Julian) << c.Year << "-" << c.Month << "-" << c.Day;
        EXPECT_EQ(JulianToDT(c.Julian), date) << c.Julian;
    }
    EXPECT_EQ(JulianToDT(0), 0);
    EXPECT_EQ(JulianToDT(1E+100), 0);
    EXPECT_EQ(DTtoJulian(EncodeDate(999, 6, 1)), -1.0);
}

class FrameComponent : public TComponent {
public:
    using TComponent::TComponent;
    String ClassName() const override { return "TFrameHolder"; }
    bool InheritsFrom(const String& name) const override
    {
        return SameText(name, "TFrame") || TComponent::InheritsFrom(name);
    }
};

TEST(ComponentSearch, DataModulesFirstThenFormsAndTheirFrames)
{
    TDataModule* module = Construct<TDataModule>(nullptr);
    auto* a = new TDaroruTable(module);
    new TComponent(module);
    auto* b = new TDaroruTable(module);
    auto* form = new TComponent(nullptr);
    Screen()->RegisterForm(form);
    auto* c = new TDaroruTable(form);
    auto* frame = new FrameComponent(form);
    auto* d = new TDaroruTable(frame);
    auto* e = new TDaroruTable(frame);
    auto* f = new TDaroruTable(form);

    TDaroruSearchObject search;
    std::vector<TComponent*> found;
    for (TComponent* x = search.SearchFirstComponent("tdarorutable"); x;
         x = search.SearchNextComponent("TDaroruTable"))
        found.push_back(x);
    EXPECT_EQ(found, (std::vector<TComponent*> {a, b, c, d, e, f}));
    EXPECT_EQ(search.SearchNextComponent("TDaroruTable"), nullptr);
    EXPECT_EQ(search.SearchFirstComponent("TDaroruTable"), a);  // a new walk starts over

    Screen()->UnregisterForm(form);
    form->Free();
    module->Free();
}

TEST(VersionText, NamesTheLayerAndItsDate)
{
    const String saved = ShortDateFormat;
    ShortDateFormat = "mm/dd/yyyy";
    EXPECT_EQ(GetDrDsVer(), "Daroru VCL 5.1.3.1, 05/18/2000");
    TDaroruTable table(nullptr);
    table.SetAccessMethod(amServer);
    EXPECT_EQ(table.Version(), "VOZ ?.??.?? 32 bit, Daroru VCL 5.1.3.1, 05/18/2000");
    ShortDateFormat = saved;
}

}  // namespace
