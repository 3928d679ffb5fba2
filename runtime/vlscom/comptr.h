#pragma once

#include "pointers.h"
#include "unknown.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace vlscom {

// Owning interface pointer. Copies add a reference, destruction releases it; assigning a pointer to
// itself is safe because the new reference is taken before the old one is dropped.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) { }
    // Takes a new reference to p.
    explicit ComPtr(T* p)
        : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& other)
        : ComPtr(other.m_p)
    {
    }
    ComPtr(ComPtr&& other) noexcept
        : m_p(std::exchange(other.m_p, nullptr))
    {
    }
    template <class U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other)
        : ComPtr(static_cast<T*>(other.get()))
    {
    }
    ~ComPtr() { reset(); }

    // assign() adds the new reference before it releases the old, so self-assignment is safe.
    ComPtr& operator=(const ComPtr& other) // NOLINT(bugprone-unhandled-self-assignment)
    {
        assign(other.m_p);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(m_p, std::exchange(other.m_p, nullptr));
            if (old)
                old->Release();
        }
        return *this;
    }
    ComPtr& operator=(std::nullptr_t)
    {
        reset();
        return *this;
    }

    // Adopts a reference that the caller already owns.
    static ComPtr adopt(T* p)
    {
        ComPtr result;
        result.m_p = p;
        return result;
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Releases the held reference and returns the address for an out-parameter.
    T** put()
    {
        reset();
        return &m_p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // Gives up ownership without releasing.
    T* detach() { return std::exchange(m_p, nullptr); }

    void reset()
    {
        if (T* old = std::exchange(m_p, nullptr))
            old->Release();
    }

    // Copies the reference into an out-parameter (with a new reference).
    HRESULT copyTo(T** out) const
    {
        if (const HRESULT hr = vlscom::checkPointers(out); FAILED(hr))
            return hr;
        *out = m_p;
        if (m_p)
            m_p->AddRef();
        return S_OK;
    }

    // QueryInterface for U (identified by U::iid); an empty pointer when not answered.
    template <class U> ComPtr<U> as() const
    {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(U::iid, result.putVoid());
        return result;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.m_p == b.m_p; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.m_p == nullptr; }

private:
    void assign(T* p)
    {
        if (p)
            p->AddRef();
        T* old = std::exchange(m_p, p);
        if (old)
            old->Release();
    }

    T* m_p = nullptr;
};

} // namespace vlscom
