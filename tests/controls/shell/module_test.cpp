#include "vlsshell/classfactory.h"
#include "vlsshell/module.h"

#include <gtest/gtest.h>

using namespace vlsshell;

namespace {
HRESULT createNothing(IUnknown*, REFIID, void** object)
{
    *object = nullptr;
    return E_ABORT;
}
} // namespace

TEST(Module, RegisteredButUncreatableClassesHaveNoClassObject)
{
    const ClassDescription pending { vlscom::makeGuid("{00000000-0000-0000-0000-0000000000D1}"), "Pending.1",
        "", nullptr };
    const ClassDescription ready { vlscom::makeGuid("{00000000-0000-0000-0000-0000000000D2}"), "Ready.1", "",
        &createNothing };
    const ServerDescription server { nullptr, { &pending, &ready } };
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(server, pending.clsid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(getClassObject(server, ready.clsid, IID_IClassFactory, &object), S_OK);
    auto* factory = static_cast<IClassFactory*>(object);
    EXPECT_EQ(liveObjectCount(), 1);
    void* created = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &created), E_ABORT);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IClassFactory, &created), CLASS_E_NOAGGREGATION);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(Module, UnlockingMoreThanLockedCannotHideALiveLock)
{
    unlockModule();
    lockModule();
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    unlockModule();
    unlockModule();
    EXPECT_EQ(canUnloadNow(), S_OK);
}
