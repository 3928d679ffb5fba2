#pragma once

#include "typedescription.h"
#include "vlscom/guid.h"
#include "vlscom/unknown.h"

#include <vector>

namespace vlsshell {

// Creates an object of the class: the standard IClassFactory::CreateInstance contract.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

struct ClassDescription {
    CLSID clsid;
    // The versioned ProgID: the error source when the registry does not name one.
    const char* versionedProgId;
    // REGEDIT4 registration script; %MODULE% stands for the server's path.
    const char* registrationScript;
    // Null while the class is registered but not creatable (CLASS_E_CLASSNOTAVAILABLE).
    CreateFunction create;
};

struct ServerDescription {
    const TypeLibDescription* typeLib;
    std::vector<const ClassDescription*> classes;
};

} // namespace vlsshell
