// Where a table finds its files from its DatabaseName: a path, an alias of a
// database component, or nothing; never the current directory.

#include <gtest/gtest.h>

#include "platform/classes/datamodule.h"
#include "platform/rtl/fileops.h"
#include "tables/datapath.h"
#include "tables/drodset.h"
#include "tables/droenv.h"

namespace {

TEST(DataPath, NamesAPathAnAliasOrTheProgramDirectory)
{
    TDataModule* module = new TDataModule(nullptr);
    auto* withPath = new TDaroruDatabase(module);
    withPath->SetDataPathAlias("CLIENTS");
    withPath->SetDataPath("/srv/data\\clients");
    auto* withoutPath = new TDaroruDatabase(module);
    withoutPath->SetDataPathAlias("EMPTY");
    withoutPath->SetDataPath("  ");
    auto* relative = new TDaroruDatabase(module);
    relative->SetDataPathAlias("LOCAL");
    relative->SetDataPath("data");

    const String program = ProgramDir();
    struct Case {
        const char* DatabaseName;
        String Expected;
    };
    const Case cases[] = {
            {"/srv/data", "/srv/data/"},
            {"/srv/data/", "/srv/data/"},
            {" /srv//data\\2024 ", "/srv/data/2024/"},
            {"clients", "/srv/data/clients/"},  // an alias, found whatever its case
            {"EMPTY", program},
            {"LOCAL", program + "data/"},
            {"NOSUCHALIAS", program},
            {"", program},
            {"data\\clients", program + "data/clients/"},
            {"./data", program + "data/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveDataPath(c.DatabaseName, [&] { return FindDatabaseByAlias(c.DatabaseName); }),
                  c.Expected)
                << '"' << c.DatabaseName << '"';
    }
    module->Free();
}

TEST(DataPath, AnAliasIsLookedUpOnlyForANameWithoutPath)
{
    int asked = 0;
    const auto database = [&]() -> TDaroruDatabase* {
        ++asked;
        return nullptr;
    };
    ResolveDataPath("/srv/data", database);
    ResolveDataPath("C:\\DATA", database);
    EXPECT_EQ(asked, 0);
    ResolveDataPath("CLIENTS", database);
    EXPECT_EQ(asked, 1);
}

TEST(DataPath, ATableWithoutDatabaseNameLooksInTheProgramDirectory)
{
    if (IncludeTrailingPathDelimiter(ExpandFileName(".")) == ProgramDir())
        GTEST_SKIP() << "run from the program directory, the two cannot be told apart";
    TDaroruTable table(nullptr);
    table.SetTableName("CLIENT");
    EXPECT_EQ(table.GetDataPath(), ProgramDir());
}

}  // namespace
