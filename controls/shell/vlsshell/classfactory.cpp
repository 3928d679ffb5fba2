#include "classfactory.h"

#include "vlscom/pointers.h"

namespace vlsshell {

ClassFactory::ClassFactory(CreateFunction create)
    : m_create(create)
{
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object)
{
    if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
        return hr;
    *object = nullptr;
    if (outer && riid != IUnknown::iid)
        return CLASS_E_NOAGGREGATION;
    return m_create(outer, riid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        lockModule();
    else
        unlockModule();
    return S_OK;
}

} // namespace vlsshell
