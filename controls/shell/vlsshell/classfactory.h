#pragma once

#include "classdescription.h"
#include "module.h"
#include "vlscom/comobject.h"

namespace vlsshell {

// The class object of one class. It counts as a live object of the server; LockServer adds locks.
class ClassFactory final : public vlscom::ComObject<IClassFactory>, private ModuleObject {
public:
    explicit ClassFactory(CreateFunction create);

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    CreateFunction m_create;
};

} // namespace vlsshell
