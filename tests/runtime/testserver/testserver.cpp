// The test server: type library, classes and exports.

#include "testcontrol.h"
#include "vlsshell/module.h"

extern const char vlstestControlScript[];
extern const char vlstestSoloScript[];

using namespace vlsshell;

const InterfaceDescription& InterfaceInfo<IVlsTestControl>::description()
{
    using I = IVlsTestControl;
    static const InterfaceDescription d { I::iid, "IVlsTestControl", "IVlsTestControl Interface",
        InterfaceKind::Dual,
        {
            propget<&I::get_Name>(DISPID_Name, "Name", "Name of the control."),
            propput<&I::put_Name>(DISPID_Name, "Name", "Name of the control."),
            propget<&I::get_Count>(DISPID_Count, "Count", "A count that must not be negative."),
            propput<&I::put_Count>(DISPID_Count, "Count", "A count that must not be negative."),
            propget<&I::get_Enabled>(DISPID_Enabled, "Enabled", "Whether the control is enabled."),
            propput<&I::put_Enabled>(DISPID_Enabled, "Enabled", "Whether the control is enabled."),
            propget<&I::get_Ratio>(DISPID_Ratio, "Ratio", "A ratio."),
            propput<&I::put_Ratio>(DISPID_Ratio, "Ratio", "A ratio."),
            method<&I::Fail>(DISPID_Fail, "Fail", "Fail in the requested way.", { "kind" }),
            method<&I::Sum>(DISPID_Sum, "Sum", "Add up bytes.", { "data", "count", "total" }),
            method<&I::Start>(DISPID_Start, "Start", "Start posting ticks from a worker.", { "ticks" }),
            method<&I::Wait>(DISPID_Wait, "Wait", "Wait for the worker."),
            method<&I::Ask>(DISPID_Ask, "Ask", "Ask the user.", { "question", "yes" }),
            propget<&I::get_Partner>(DISPID_Partner, "Partner", "Another control."),
            propput<&I::put_Partner>(DISPID_Partner, "Partner", "Another control."),
            method<&I::Describe>(DISPID_Describe, "Describe", "Describe a record.", { "record", "text" }),
            method<&I::Echo>(DISPID_Echo, "Echo", "Return the handle.", { "handle", "same" }),
        } };
    return d;
}

const InterfaceDescription& InterfaceInfo<IVlsTestTag>::description()
{
    using I = IVlsTestTag;
    static const InterfaceDescription d { I::iid, "IVlsTestTag", "IVlsTestTag Interface", InterfaceKind::Dual,
        {
            propget<&I::get_Title>(1, "Title", "Title."),
            propput<&I::put_Title>(1, "Title", "Title."),
        } };
    return d;
}

const InterfaceDescription& InterfaceInfo<IVlsTestSolo>::description()
{
    using I = IVlsTestSolo;
    static const InterfaceDescription d { I::iid, "IVlsTestSolo", "IVlsTestSolo Interface",
        InterfaceKind::Dual, { propget<&I::get_Value>(1, "Value", "Always 42.") } };
    return d;
}

const InterfaceDescription& testEventsDescription()
{
    static const InterfaceDescription d { DIID__IVlsTestControlEvents, "_IVlsTestControlEvents",
        "Test Control Events", InterfaceKind::DispInterface,
        {
            event(DISPID_OnTick, "OnTick", "A tick.", { { "Value", VT_I4, PARAMFLAG_FIN } }),
            event(DISPID_OnText, "OnText", "A text.", { { "Text", VT_BSTR, PARAMFLAG_FIN } }),
            event(DISPID_OnDone, "OnDone", "The worker is done."),
        } };
    return d;
}

const ClassDescription& testControlClass()
{
    static const ClassDescription c { CLSID_VlsTestControl, "Vls.TestControl.1", vlstestControlScript,
        &TestControl::create };
    return c;
}

const ClassDescription& testSoloClass()
{
    static const ClassDescription c { CLSID_VlsTestSolo, "Vls.TestSolo.1", vlstestSoloScript,
        &TestSolo::create };
    return c;
}

namespace {

const ServerDescription& describeServer()
{
    static const TypeLibDescription typeLib { LIBID_VLSTestLib, "VLSTestLib", "Shell Test Controls 1.0", 1, 0,
        { &InterfaceInfo<IVlsTestControl>::description(), &InterfaceInfo<IVlsTestTag>::description(),
            &testEventsDescription(), &InterfaceInfo<IVlsTestSolo>::description() } };
    static const ServerDescription server { &typeLib, { &testControlClass(), &testSoloClass() } };
    return server;
}

} // namespace

VLSSHELL_SERVER_EXPORTS(describeServer)
