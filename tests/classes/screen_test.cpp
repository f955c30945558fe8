#include "platform/classes/datamodule.h"
#include "platform/classes/screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::vector<TComponent*> RegisteredDataModules()
{
    std::vector<TComponent*> result;
    for (int i = 0; i < Screen()->DataModuleCount(); ++i)
        result.push_back(Screen()->DataModules(i));
    return result;
}

// A data module that builds two components in its constructor, as a designed one does.
class TTestModule : public TDataModule {
public:
    TTestModule(TComponent* owner, Log* log) : TDataModule(owner), FLog(log)
    {
        Table = new TLoadRecorder(this, "tblClient", log);
        Source = new TLoadRecorder(this, "dsClient", log);
        OnCreate = [this](TObject*) {
            FLog->push_back("OnCreate with " + std::to_string(ComponentCount()) + " components");
        };
        OnDestroy = [this](TObject*) {
            FLog->push_back("OnDestroy with " + std::to_string(ComponentCount()) + " components");
        };
    }

    String ClassName() const override { return "TTestModule"; }

    struct TLoadRecorder : TComponent {
        TLoadRecorder(TComponent* owner, const String& name, Log* log) : TComponent(owner), L(log)
        {
            SetName(name);
            L->push_back(name + (ComponentState().Contains(csLoading) ? " loading" : " ready"));
        }
        void Loaded() override
        {
            TComponent::Loaded();
            L->push_back(Name() + " loaded");
        }
        Log* L;
    };

    TComponent* Table;
    TComponent* Source;

private:
    Log* FLog;
};

TEST(TDataModuleTest, ComponentsLoadBeforeOnCreate)
{
    Log log;
    auto* module = Construct<TTestModule>(nullptr, &log);
    EXPECT_EQ(log, (Log {"tblClient loading", "dsClient loading", "tblClient loaded", "dsClient loaded",
                         "OnCreate with 2 components"}));
    EXPECT_FALSE(module->ComponentState().Contains(csLoading));
    EXPECT_EQ(module->FindComponent("TBLCLIENT"), module->Table);
    EXPECT_TRUE(module->InheritsFrom("TDataModule"));

    log.clear();
    module->Free();
    EXPECT_EQ(log, (Log {"OnDestroy with 2 components"}));
}

TEST(TDataModuleTest, ScreenKeepsDataModulesInCreationOrder)
{
    Log log;
    TComponent application(nullptr);
    auto* first = Construct<TTestModule>(&application, &log);
    auto* second = Construct<TTestModule>(&application, &log);
    auto* third = Construct<TTestModule>(nullptr, &log);
    EXPECT_EQ(RegisteredDataModules(), (std::vector<TComponent*> {first, second, third}));

    second->Free();
    EXPECT_EQ(RegisteredDataModules(), (std::vector<TComponent*> {first, third}));

    // Deleted directly: still leaves the screen.
    delete third;
    EXPECT_EQ(RegisteredDataModules(), (std::vector<TComponent*> {first}));

    // Freed with its owner, which marks it destroying first: OnDestroy runs all the same.
    log.clear();
    application.DestroyComponents();
    EXPECT_TRUE(RegisteredDataModules().empty());
    EXPECT_EQ(log, (Log {"OnDestroy with 2 components"}));
    EXPECT_THROW(Screen()->DataModules(0), ERangeError);
}

TEST(TScreenTest, FormsRegisterSeparatelyAndMoveToAReplacementScreen)
{
    TComponent form1(nullptr);
    TComponent form2(nullptr);
    Screen()->RegisterForm(&form1);
    Screen()->RegisterForm(&form2);
    Screen()->RegisterForm(&form1);  // once only
    Log log;
    auto* module = Construct<TTestModule>(nullptr, &log);

    struct TGuiScreen : TScreen {
        String ClassName() const override { return "TGuiScreen"; }
    };
    SetScreen(std::make_unique<TGuiScreen>());
    EXPECT_EQ(Screen()->ClassName(), "TGuiScreen");
    ASSERT_EQ(Screen()->FormCount(), 2);
    EXPECT_EQ(Screen()->Forms(0), &form1);
    EXPECT_EQ(Screen()->Forms(1), &form2);
    EXPECT_EQ(RegisteredDataModules(), (std::vector<TComponent*> {module}));

    Screen()->UnregisterForm(&form1);
    Screen()->UnregisterForm(&form2);
    EXPECT_EQ(Screen()->FormCount(), 0);
    module->Free();
    EXPECT_EQ(Screen()->DataModuleCount(), 0);
}

}  // namespace
