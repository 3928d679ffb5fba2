#include "testsupport.h"
#include "vlscom/comobject.h"
#include "vlscom/dispatch.h"

#include <gtest/gtest.h>

using namespace vlscom;

namespace {

struct IFirst : IUnknown {
    static constexpr IID iid = makeGuid("{A0000000-0000-0000-0000-000000000001}");
    using Base = IUnknown;
    virtual int first() = 0;
};
struct ISecondBase : IUnknown {
    static constexpr IID iid = makeGuid("{A0000000-0000-0000-0000-000000000002}");
    using Base = IUnknown;
};
struct ISecond : ISecondBase {
    static constexpr IID iid = makeGuid("{A0000000-0000-0000-0000-000000000003}");
    using Base = ISecondBase;
    virtual int second() = 0;
};

int g_destroyed = 0;

class Thing final : public ComObject<IFirst, ISecond> {
public:
    ~Thing() override { ++g_destroyed; }
    int first() override { return 1; }
    int second() override { return 2; }
};

template <class I> ComPtr<I> query(IUnknown* object)
{
    ComPtr<I> result;
    EXPECT_EQ(object->QueryInterface(I::iid, result.putVoid()), S_OK);
    return result;
}

} // namespace

TEST(ComObject, AnswersEveryListedInterfaceAndItsBasesWithOneIdentity)
{
    auto thing = makeObject<Thing>();
    IUnknown* identity = thing->identity();
    EXPECT_EQ(query<IUnknown>(query<ISecond>(identity).get()).get(), identity);
    EXPECT_EQ(query<ISecondBase>(identity).get(), static_cast<ISecondBase*>(thing.get()));
    EXPECT_EQ(query<ISecond>(identity)->second(), 2);
    EXPECT_EQ(query<IFirst>(identity)->first(), 1);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(identity->QueryInterface(IDispatch::iid, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(identity->QueryInterface(IFirst::iid, nullptr), E_POINTER);
}

TEST(ComObject, CountsReferencesAndDeletesAtZero)
{
    g_destroyed = 0;
    auto thing = makeObject<Thing>();
    EXPECT_EQ(referenceCount(thing->identity()), 1U);
    {
        auto second = query<ISecond>(thing->identity());
        EXPECT_EQ(referenceCount(thing->identity()), 2U);
    }
    EXPECT_EQ(thing->AddRef(), 2U);
    EXPECT_EQ(thing->Release(), 1U);
    thing.reset();
    EXPECT_EQ(g_destroyed, 1);
}

TEST(ComPtr, SurvivesSelfAssignmentAndMoves)
{
    g_destroyed = 0;
    auto thing = makeObject<Thing>();
    auto& alias = thing;
    thing = alias;
    EXPECT_EQ(referenceCount(thing->identity()), 1U);
    ComPtr<Thing> moved = std::move(thing);
    EXPECT_FALSE(thing);
    moved = std::move(moved);
    EXPECT_EQ(referenceCount(moved->identity()), 1U);
    ComPtr<IFirst> converted = moved;
    EXPECT_EQ(referenceCount(moved->identity()), 2U);
    EXPECT_FALSE(moved.as<IDispatch>());
    moved.reset();
    converted.reset();
    EXPECT_EQ(g_destroyed, 1);
}

namespace {
// An outer object that aggregates a Thing: it answers IFirst and ISecond through the inner unknown.
class Outer final : public ComObject<IDispatch> {
public:
    Outer()
    {
        auto* inner = new Thing();
        inner->aggregateInto(identity());
        m_inner = ComPtr<IUnknown>(inner->nonDelegatingUnknown());
    }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    ComPtr<IUnknown> m_inner;

private:
    void* findExtraInterface(REFIID iid) override
    {
        void* found = nullptr;
        if (m_inner && SUCCEEDED(m_inner->QueryInterface(iid, &found))) {
            // The inner object's interfaces delegate their references to us.
            static_cast<IUnknown*>(found)->Release();
            return found;
        }
        return nullptr;
    }
};
} // namespace

TEST(ComObject, AggregatedObjectDelegatesIdentityAndLifetimeToItsOuter)
{
    g_destroyed = 0;
    auto outer = makeObject<Outer>();
    IUnknown* identity = outer->identity();
    auto second = query<ISecond>(identity);
    EXPECT_EQ(second->second(), 2);
    EXPECT_EQ(query<IUnknown>(second.get()).get(), identity);
    EXPECT_EQ(query<IDispatch>(second.get()).get(), static_cast<IDispatch*>(outer.get()));
    EXPECT_EQ(referenceCount(outer.get()), 2U);
    second.reset();
    outer.reset();
    EXPECT_EQ(g_destroyed, 1);
}
