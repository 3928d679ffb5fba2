#include "vlscom/comptr.h"
#include "vlscom/errorinfo.h"

#include <gtest/gtest.h>
#include <thread>

using namespace vlscom;

TEST(ErrorInfo, IsTakenOnceAndKeepsSourceDescriptionAndInterface)
{
    const IID iid = makeGuid("{00000000-0000-0000-0000-0000000000AB}");
    ASSERT_EQ(setErrorInfo(u"Some.Source.1", u"Something failed.", iid), S_OK);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    Bstr source;
    Bstr description;
    GUID guid {};
    EXPECT_EQ(info->GetSource(source.put()), S_OK);
    EXPECT_EQ(info->GetDescription(description.put()), S_OK);
    EXPECT_EQ(info->GetGUID(&guid), S_OK);
    EXPECT_EQ(source.view(), u"Some.Source.1");
    EXPECT_EQ(description.view(), u"Something failed.");
    EXPECT_EQ(guid, iid);
    EXPECT_EQ(GetErrorInfo(0, info.put()), S_FALSE);
    EXPECT_FALSE(info);
}

TEST(ErrorInfo, BelongsToTheThreadThatSetIt)
{
    setErrorInfo(u"main", u"main thread");
    std::optional<ErrorRecord> seenByWorker = ErrorRecord {};
    std::thread worker([&] {
        seenByWorker = takeErrorInfo();
        setErrorInfo(u"worker", u"left behind");
    });
    worker.join();
    EXPECT_FALSE(seenByWorker);
    const auto mine = takeErrorInfo();
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->description, u"main thread");
    EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
    EXPECT_FALSE(takeErrorInfo());
}
