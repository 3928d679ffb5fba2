#include "testcontrol.h"

#include "vlscom/bstr.h"
#include "vlscom/messagebox.h"
#include "vlscom/systemerror.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

using vlsshell::ControlError;
using vlsshell::requirePointer;

const vlsshell::ControlDescription& TestControl::description()
{
    static const vlsshell::ControlDescription control { &testControlClass(), &testEventsDescription(),
        "VlsTestControlHelper", { DISPID_Enabled, DISPID_Count, DISPID_Name, DISPID_Ratio },
        vlsshell::Aggregation::Allowed };
    return control;
}

TestControl::~TestControl()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

HRESULT TestControl::finalConstruct()
{
    if (std::getenv("VLSTEST_FAIL_CONSTRUCT"))
        throw ControlError("Internal error #1. Test library could not be loaded.");
    return S_OK;
}

bool TestControl::onWindowMessage(UINT message, vlscom::WPARAM wParam)
{
    switch (message) {
    case WM_TEST_TICK:
        fire(DISPID_OnTick, static_cast<std::int32_t>(wParam));
        return true;
    case WM_TEST_TEXT: {
        const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
        fire(DISPID_OnText, text);
        return true;
    }
    case WM_TEST_DONE:
        fire(DISPID_OnDone);
        return true;
    default:
        return false;
    }
}

HRESULT TestControl::get_Name(BSTR* pVal)
{
    return guard([&] {
        BSTR& out = requirePointer(pVal);
        out = vlscom::allocBstr(std::u16string_view(m_name));
        return out ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT TestControl::put_Name(BSTR newVal)
{
    return guard([&] { m_name = vlscom::bstrView(newVal); });
}

HRESULT TestControl::get_Count(std::int32_t* pVal)
{
    return guard([&] { requirePointer(pVal) = m_count; });
}

HRESULT TestControl::put_Count(std::int32_t newVal)
{
    return guard([&] {
        if (newVal < 0)
            throw ControlError("Count must not be negative.");
        m_count = newVal;
    });
}

HRESULT TestControl::get_Enabled(VARIANT_BOOL* pVal)
{
    return guard([&] { requirePointer(pVal) = m_enabled ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT TestControl::put_Enabled(VARIANT_BOOL newVal)
{
    return guard([&] { m_enabled = newVal != VARIANT_FALSE; });
}

HRESULT TestControl::get_Ratio(float* pVal)
{
    return guard([&] { requirePointer(pVal) = m_ratio; });
}

HRESULT TestControl::put_Ratio(float newVal)
{
    return guard([&] { m_ratio = newVal; });
}

HRESULT TestControl::Fail(std::int32_t kind)
{
    return guard([&] {
        switch (kind) {
        case 1:
            throw ControlError::system(
                "Internal error #3. Cannot create file. System error message: %s.", ENOENT);
        case 2:
            throw ControlError::status(vlscom::hresultFromErrno(EACCES));
        case 3:
            throw std::bad_alloc();
        case 4:
            throw std::runtime_error("unexpected");
        case 5:
            throw ControlError("Cancelled by user.");
        default:
            break;
        }
    });
}

HRESULT TestControl::Sum(const std::uint8_t* data, std::int32_t count, std::int32_t* total)
{
    return guard([&] {
        std::int32_t& out = requirePointer(total);
        out = 0;
        requirePointer(data);
        if (count < 0)
            throw ControlError("Count must not be negative.");
        for (std::int32_t i = 0; i < count; ++i)
            out += data[i];
    });
}

HRESULT TestControl::Start(std::int32_t ticks)
{
    return guard([&] {
        if (m_worker.joinable())
            throw ControlError("Error: method mustn't be called when work is in progress.");
        m_stop = false;
        m_worker = std::thread([this, ticks] {
            for (std::int32_t i = 1; i <= ticks && !m_stop; ++i) {
                post(WM_TEST_TICK, static_cast<vlscom::WPARAM>(i));
                const BSTR text = vlscom::allocBstr(std::string_view("tick " + std::to_string(i)));
                post(WM_TEST_TEXT, reinterpret_cast<vlscom::WPARAM>(text), vlscom::freeBstrPayload);
            }
            post(WM_TEST_DONE);
        });
    });
}

HRESULT TestControl::Wait()
{
    return guard([&] {
        if (m_worker.joinable())
            m_worker.join();
    });
}

HRESULT TestControl::Ask(BSTR question, VARIANT_BOOL* yes)
{
    return guard([&] {
        VARIANT_BOOL& answer = requirePointer(yes);
        const int result = vlscom::MessageBox(helperWindow(), vlscom::toUtf8(vlscom::bstrView(question)),
            "Test Control", vlscom::MB_YESNO | vlscom::MB_ICONQUESTION);
        answer = result == vlscom::IDYES ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT TestControl::get_Partner(IVlsTestControl** pVal)
{
    return guard([&] { return m_partner.copyTo(&requirePointer(pVal)); });
}

HRESULT TestControl::put_Partner(IVlsTestControl* newVal)
{
    return guard([&] { m_partner = vlscom::ComPtr<IVlsTestControl>(newVal); });
}

HRESULT TestControl::Describe(const TestRecord* record, BSTR* text)
{
    return guard([&] {
        BSTR& out = requirePointer(text);
        out = nullptr;
        const TestRecord& value = requirePointer(record);
        out = vlscom::allocBstr(std::string_view(
            "number=" + std::to_string(value.number) + " small=" + std::to_string(value.small)));
    });
}

HRESULT TestControl::Echo(std::int64_t handle, std::int64_t* same)
{
    return guard([&] { requirePointer(same) = handle; });
}

HRESULT TestControl::get_Title(BSTR* pVal)
{
    return guard([&] { requirePointer(pVal) = vlscom::allocBstr(std::u16string_view(m_title)); });
}

HRESULT TestControl::put_Title(BSTR newVal)
{
    return guard([&] { m_title = vlscom::bstrView(newVal); });
}

const vlsshell::ControlDescription& TestSolo::description()
{
    static const vlsshell::ControlDescription control { &testSoloClass(), nullptr, nullptr, {},
        vlsshell::Aggregation::Refused };
    return control;
}

HRESULT TestSolo::get_Value(std::int32_t* pVal)
{
    return guard([&] { requirePointer(pVal) = 42; });
}
