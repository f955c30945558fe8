// A data set knows the data sources that take it, so a descendant can make
// their links read it afresh.

#include <gtest/gtest.h>

#include "platform/db/datasource.h"
#include "tests/support/memdataset.h"

namespace {

class TSourcesDataSet : public TMemDataSet {
public:
    using TDataSet::DataSources;
    using TMemDataSet::TMemDataSet;
};

TEST(DataSetSources, FollowTheSourcesThatTakeTheDataSet)
{
    TSourcesDataSet data(nullptr, {{"NAME", ftString, 10}});
    TSourcesDataSet other(nullptr, {{"NAME", ftString, 10}});
    EXPECT_TRUE(data.DataSources().empty());
    TDataSource first(nullptr);
    first.SetDataSet(&data);
    {
        TDataSource second(nullptr);
        second.SetDataSet(&data);
        EXPECT_EQ(data.DataSources(), (std::vector<TDataSource*> {&first, &second}));
    }
    EXPECT_EQ(data.DataSources(), std::vector<TDataSource*> {&first}) << "a freed source is gone";
    first.SetDataSet(&other);
    EXPECT_TRUE(data.DataSources().empty());
    EXPECT_EQ(other.DataSources(), std::vector<TDataSource*> {&first});
}

}  // namespace
