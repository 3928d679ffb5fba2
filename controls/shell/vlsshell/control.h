#pragma once

// The shell of a control object: everything a control answers besides its own members.
//
//   class Encoder final : public vlsshell::Control<Encoder, IVlsAudioEncoder, IAudioTag> {
//   public:
//       static const vlsshell::ControlDescription& description();
//       HRESULT finalConstruct();                    // optional
//       bool onWindowMessage(UINT, vlscom::WPARAM);  // optional
//       ...members of IVlsAudioEncoder and IAudioTag, each `return guard([&] { ... });`
//   };
//
// The object answers QueryInterface for its main dual interface (also as IDispatch), the extra
// dual interfaces, IPersistStreamInit, IPersist, ISupportErrorInfo, IConnectionPointContainer,
// IProvideClassInfo and IProvideClassInfo2; the embedding interfaces of a visual host are not
// offered (E_NOINTERFACE). Creation (create, the class's CreateFunction) allocates the object,
// creates its helper window on the creating thread, then runs Derived::finalConstruct(); a failure
// of either destroys the object and is returned. Aggregation follows the standard rules unless the
// description refuses it (CLASS_E_NOAGGREGATION).

#include "classdescription.h"
#include "connectionpoint.h"
#include "controlerror.h"
#include "dispatchimpl.h"
#include "module.h"
#include "propertystream.h"
#include "vlscom/classinfo.h"
#include "vlscom/comobject.h"
#include "vlscom/errorinfo.h"
#include "vlscom/messagequeue.h"
#include "vlscom/persist.h"
#include "vlscom/pointers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <string_view>
#include <vector>

namespace vlsshell {

enum class Aggregation { Allowed, Refused };

struct ControlDescription {
    const ClassDescription* classDescription;
    // The default event interface (one connection point); null for a control without events.
    const InterfaceDescription* events;
    // The helper window's class name; null for a control without a helper window.
    const char* helperWindowClass;
    // Properties of the main interface that persistence saves (reading each through its property
    // get) and loads (through its property put), in this order.
    std::vector<DISPID> persistedProperties;
    Aggregation aggregation = Aggregation::Allowed;
};

namespace detail {
inline vlscom::Variant eventArgument(std::int32_t value)
{
    return vlscom::Variant::fromInt(value);
}
inline vlscom::Variant eventArgument(bool value)
{
    return vlscom::Variant::fromBool(value);
}
inline vlscom::Variant eventArgument(float value)
{
    return vlscom::Variant::fromFloat(value);
}
inline vlscom::Variant eventArgument(std::u16string_view text)
{
    return vlscom::Variant::fromString(text);
}
inline vlscom::Variant eventArgument(BSTR text)
{
    return vlscom::Variant::fromString(vlscom::bstrView(text));
}
inline vlscom::Variant eventArgument(const vlscom::Bstr& text)
{
    return vlscom::Variant::fromString(text.view());
}
inline vlscom::Variant eventArgument(IUnknown* object)
{
    return vlscom::Variant::fromObject(object);
}
} // namespace detail

template <class Derived, class Main, class... Extra>
class Control : public vlscom::ComObject<DispatchImpl<Main>, IPersistStreamInit, ISupportErrorInfo,
                    IConnectionPointContainer, IProvideClassInfo2, DispatchImpl<Extra>...>,
                private ModuleObject {
public:
    static HRESULT create(IUnknown* outer, REFIID riid, void** object)
    {
        if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
            return hr;
        *object = nullptr;
        if (outer && riid != IUnknown::iid)
            return CLASS_E_NOAGGREGATION;
        if (outer && Derived::description().aggregation == Aggregation::Refused)
            return CLASS_E_NOAGGREGATION;
        Derived* created = nullptr;
        try {
            created = new Derived();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
        if (outer)
            created->aggregateInto(outer);
        IUnknown* inner = created->nonDelegatingUnknown();
        inner->AddRef();
        HRESULT hr = created->construct();
        if (SUCCEEDED(hr))
            hr = inner->QueryInterface(riid, object);
        inner->Release();
        return hr;
    }

    // IPersist, IPersistStreamInit
    HRESULT GetClassID(CLSID* clsid) override
    {
        if (const HRESULT hr = vlscom::checkPointers(clsid); FAILED(hr))
            return hr;
        *clsid = Derived::description().classDescription->clsid;
        return S_OK;
    }

    HRESULT IsDirty() override
    {
        std::vector<PersistedProperty> current;
        if (!m_saved || FAILED(readPersisted(current)))
            return S_OK;
        const auto same = [](const PersistedProperty& a, const PersistedProperty& b) {
            return vlscom::variantEquals(a.value, b.value);
        };
        return std::ranges::equal(current, *m_saved, same) ? S_FALSE : S_OK;
    }

    HRESULT Load(IStream* stream) override
    {
        if (const HRESULT hr = vlscom::checkPointers(stream); FAILED(hr))
            return hr;
        std::vector<PersistedProperty> properties;
        if (const HRESULT hr
            = decodeProperties(streamReader(stream), Derived::description().persistedProperties, properties);
            FAILED(hr))
            return hr;
        if (const HRESULT hr = writePersisted(properties); FAILED(hr))
            return hr;
        m_saved = std::move(properties);
        return S_OK;
    }

    HRESULT Save(IStream* stream, BOOL clearDirty) override
    {
        if (const HRESULT hr = vlscom::checkPointers(stream); FAILED(hr))
            return hr;
        std::vector<PersistedProperty> properties;
        std::vector<std::uint8_t> bytes;
        HRESULT hr = readPersisted(properties);
        if (SUCCEEDED(hr))
            hr = encodeProperties(properties, bytes);
        if (SUCCEEDED(hr))
            hr = writeStream(stream, bytes);
        if (FAILED(hr))
            return hr;
        if (clearDirty)
            m_saved = std::move(properties);
        return S_OK;
    }

    HRESULT GetSizeMax(std::uint64_t* size) override
    {
        if (const HRESULT hr = vlscom::checkPointers(size); FAILED(hr))
            return hr;
        std::vector<PersistedProperty> properties;
        std::vector<std::uint8_t> bytes;
        HRESULT hr = readPersisted(properties);
        if (SUCCEEDED(hr))
            hr = encodeProperties(properties, bytes);
        if (FAILED(hr))
            return hr;
        *size = bytes.size();
        return S_OK;
    }

    HRESULT InitNew() override
    {
        std::vector<PersistedProperty> properties;
        if (const HRESULT hr = readPersisted(properties); FAILED(hr))
            return hr;
        m_saved = std::move(properties);
        return S_OK;
    }

    // ISupportErrorInfo: failures of the main interface carry error information.
    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override { return riid == Main::iid ? S_OK : S_FALSE; }

    // IConnectionPointContainer
    HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override
    {
        if (points)
            *points = nullptr;
        return E_NOTIMPL;
    }

    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) override
    {
        if (const HRESULT hr = vlscom::checkPointers(point); FAILED(hr))
            return hr;
        *point = nullptr;
        if (!m_connectionPoint || riid != m_connectionPoint->events())
            return CONNECT_E_NOCONNECTION;
        m_connectionPoint->AddRef();
        *point = &*m_connectionPoint;
        return S_OK;
    }

    // IProvideClassInfo, IProvideClassInfo2
    HRESULT GetClassInfo(ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetGUID(DWORD kind, GUID* guid) override
    {
        if (const HRESULT hr = vlscom::checkPointers(guid); FAILED(hr))
            return hr;
        *guid = GUID_NULL;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        if (!m_connectionPoint)
            return E_FAIL;
        *guid = m_connectionPoint->events();
        return S_OK;
    }

    vlscom::HWND helperWindow() const { return m_window.load(); }

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

protected:
    Control()
    {
        if (const InterfaceDescription* events = Derived::description().events)
            m_connectionPoint.emplace(static_cast<IConnectionPointContainer*>(this), events->iid);
    }

    ~Control() override
    {
        if (vlscom::HWND window = m_window.exchange(nullptr))
            vlscom::DestroyWindow(window);
        if (m_connectionPoint)
            m_connectionPoint->disconnectAll();
    }

    // Default hooks; Derived hides them with its own.
    HRESULT finalConstruct() { return S_OK; }
    bool onWindowMessage(UINT, vlscom::WPARAM) { return false; }

    template <class Body> HRESULT guard(Body&& body) const noexcept
    {
        return guarded(*Derived::description().classDescription, std::forward<Body>(body));
    }

    // Fires an event to every connected sink, on the calling (owning) thread. Arguments:
    // std::int32_t, bool, float, text (std::u16string_view, BSTR, vlscom::Bstr: each sent as a
    // newly allocated string) or an object.
    template <class... Args> void fire(DISPID event, const Args&... args)
    {
        if (!m_connectionPoint || m_connectionPoint->connectionCount() == 0)
            return;
        // A sink may release the control while the event runs.
        const vlscom::ComPtr<IUnknown> keepAlive(this->identity());
        std::array<vlscom::Variant, sizeof...(Args)> values { detail::eventArgument(args)... };
        std::array<VARIANT, sizeof...(Args)> reversed {};
        for (std::size_t i = 0; i < values.size(); ++i)
            reversed[values.size() - 1 - i] = values[i];
        DISPPARAMS params { reversed.empty() ? nullptr : reversed.data(), nullptr,
            static_cast<UINT>(reversed.size()), 0 };
        m_connectionPoint->fire(event, params);
    }

    // Posts to the helper window from any thread; the payload passes as with vlscom::PostMessage.
    bool post(UINT message, vlscom::WPARAM wParam = 0, vlscom::PayloadDeleter deleter = nullptr) const
    {
        return vlscom::PostMessage(m_window.load(), message, wParam, deleter);
    }

private:
    HRESULT construct()
    {
        const ControlDescription& description = Derived::description();
        if (description.helperWindowClass) {
            vlscom::HWND window = nullptr;
            const HRESULT hr = vlscom::CreateHelperWindow(
                description.helperWindowClass,
                [this](UINT message, vlscom::WPARAM wParam) {
                    return static_cast<Derived*>(this)->onWindowMessage(message, wParam);
                },
                &window);
            if (FAILED(hr))
                return hr;
            m_window.store(window);
        }
        if (const HRESULT hr = guard([this] { return static_cast<Derived*>(this)->finalConstruct(); });
            FAILED(hr))
            return hr;
        std::vector<PersistedProperty> properties;
        if (SUCCEEDED(readPersisted(properties)))
            m_saved = std::move(properties);
        return S_OK;
    }

    Main* mainInterface() { return static_cast<DispatchImpl<Main>*>(this); }

    HRESULT readPersisted(std::vector<PersistedProperty>& properties)
    {
        properties.clear();
        const InterfaceDescription& main = InterfaceInfo<Main>::description();
        const DISPPARAMS none { nullptr, nullptr, 0, 0 };
        try {
            for (const DISPID id : Derived::description().persistedProperties) {
                PersistedProperty property { id, {} };
                if (const HRESULT hr
                    = callMember(main, mainInterface(), id, MemberKind::PropertyGet, none, &property.value);
                    FAILED(hr))
                    return hr;
                properties.push_back(std::move(property));
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT writePersisted(const std::vector<PersistedProperty>& properties)
    {
        const InterfaceDescription& main = InterfaceInfo<Main>::description();
        for (const PersistedProperty& property : properties) {
            VARIANT value = property.value;
            DISPID named = DISPID_PROPERTYPUT;
            const DISPPARAMS params { &value, &named, 1, 1 };
            if (const HRESULT hr
                = callMember(main, mainInterface(), property.id, MemberKind::PropertyPut, params, nullptr);
                FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    std::optional<ConnectionPoint> m_connectionPoint;
    std::atomic<vlscom::HWND> m_window { nullptr };
    // The persisted values as last saved, loaded or initialised (IsDirty compares with them).
    std::optional<std::vector<PersistedProperty>> m_saved;
};

} // namespace vlsshell
