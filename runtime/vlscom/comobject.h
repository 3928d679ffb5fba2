#pragma once

// Reference counting and QueryInterface, written once.
//
//   class Thing : public vlscom::ComObject<IThing, IOther> { ...members of IThing and IOther... };
//   auto thing = vlscom::makeObject<Thing>(args...);
//
// QueryInterface answers IUnknown (the first listed interface is the object's identity), every
// listed interface and every interface it derives from (through `Base`), the first match winning:
// with two interfaces that both derive from IDispatch, IDispatch is the first one's. A listed base
// may be an implementation class deriving from one interface (its `iid` and `Base` are inherited).

#include "comptr.h"
#include "pointers.h"
#include "unknown.h"

#include <atomic>
#include <limits>
#include <new>
#include <utility>

namespace vlscom {

namespace detail {
template <class I>
concept HasBase = requires
{
    typename I::Base;
};

// The interface pointer for iid along the chain I, I::Base, ..., or null.
template <class I> void* findInChain(I* self, REFIID iid)
{
    if (iid == I::iid)
        return self;
    if constexpr (HasBase<I>)
        return findInChain<typename I::Base>(static_cast<typename I::Base*>(self), iid);
    else
        return nullptr;
}

template <class Self, class First, class... Rest> void* findInterface(Self* self, REFIID iid)
{
    if (void* found = findInChain<First>(static_cast<First*>(self), iid))
        return found;
    if constexpr (sizeof...(Rest) > 0)
        return findInterface<Self, Rest...>(self, iid);
    else
        return nullptr;
}

template <class First, class... Rest> struct FirstOf {
    using Type = First;
};
} // namespace detail

// A heap object with its own reference count (starting at 0; makeObject takes the first reference)
// that supports standard aggregation: once aggregateInto(outer) has been called, the listed
// interfaces delegate their IUnknown members to the outer object and nonDelegatingUnknown() is the
// inner unknown that the outer object holds.
template <class... Bases> class ComObject : public Bases... {
public:
    HRESULT QueryInterface(REFIID iid, void** object) final
    {
        return m_outer ? m_outer->QueryInterface(iid, object) : innerQueryInterface(iid, object);
    }
    ULONG AddRef() final { return m_outer ? m_outer->AddRef() : innerAddRef(); }
    ULONG Release() final { return m_outer ? m_outer->Release() : innerRelease(); }

    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The object's identity (IUnknown of its first interface).
    IUnknown* identity() { return static_cast<typename detail::FirstOf<Bases...>::Type*>(this); }

    void aggregateInto(IUnknown* outer) { m_outer = outer; }
    IUnknown* nonDelegatingUnknown() { return &m_inner; }
    bool aggregated() const { return m_outer != nullptr; }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

    // Answers interfaces known only at run time (an event sink's dispatch interface); null if none.
    virtual void* findExtraInterface(REFIID) { return nullptr; }

private:
    struct Inner final : IUnknown {
        explicit Inner(ComObject* owner)
            : m_owner(owner)
        {
        }
        HRESULT QueryInterface(REFIID iid, void** object) override
        {
            return m_owner->innerQueryInterface(iid, object);
        }
        ULONG AddRef() override { return m_owner->innerAddRef(); }
        ULONG Release() override { return m_owner->innerRelease(); }
        ComObject* m_owner;
    };

    HRESULT innerQueryInterface(REFIID iid, void** object)
    {
        if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
            return hr;
        void* found = nullptr;
        if (iid == IUnknown::iid)
            found = m_outer ? static_cast<IUnknown*>(&m_inner) : identity();
        else
            found = detail::findInterface<ComObject, Bases...>(this, iid);
        if (!found)
            found = findExtraInterface(iid);
        *object = found;
        if (!found)
            return E_NOINTERFACE;
        // Interfaces of an aggregated object count on the outer object; only the inner unknown
        // counts on its own.
        if (m_outer && found != static_cast<void*>(&m_inner))
            m_outer->AddRef();
        else
            innerAddRef();
        return S_OK;
    }

    ULONG innerAddRef() { return m_refs.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG innerRelease()
    {
        const ULONG left = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            // Guards against a destructor that takes and drops a reference to the object itself.
            m_refs.store(std::numeric_limits<ULONG>::max() / 2, std::memory_order_relaxed);
            delete this;
        }
        return left;
    }

    std::atomic<ULONG> m_refs { 0 };
    IUnknown* m_outer = nullptr;
    Inner m_inner { this };
};

// An object embedded in another COM object: it answers QueryInterface for its own interfaces and
// IUnknown, while its lifetime (AddRef, Release) is its owner's.
template <class... Bases> class ComMember : public Bases... {
public:
    explicit ComMember(IUnknown* owner)
        : m_owner(owner)
    {
    }
    ComMember(const ComMember&) = delete;
    ComMember& operator=(const ComMember&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) final
    {
        if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
            return hr;
        void* found = iid == IUnknown::iid
            ? static_cast<IUnknown*>(static_cast<typename detail::FirstOf<Bases...>::Type*>(this))
            : detail::findInterface<ComMember, Bases...>(this, iid);
        *object = found;
        if (!found)
            return E_NOINTERFACE;
        m_owner->AddRef();
        return S_OK;
    }
    ULONG AddRef() final { return m_owner->AddRef(); }
    ULONG Release() final { return m_owner->Release(); }

protected:
    ~ComMember() = default;
    IUnknown* owner() const { return m_owner; }

private:
    IUnknown* m_owner;
};

// Creates a T with the first reference; an empty pointer when memory runs out.
template <class T, class... Args> ComPtr<T> makeObject(Args&&... args)
{
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    return ComPtr<T>(object);
}

} // namespace vlscom
