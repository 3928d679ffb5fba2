#pragma once

// The answer of a member whose argument or out parameter is missing, written once: E_POINTER when
// any of the pointers is null, S_OK otherwise.
//
//   if (const HRESULT hr = vlscom::checkPointers(object); FAILED(hr))
//       return hr;

#include "types.h"

namespace vlscom {

template <class... Pointers> constexpr HRESULT checkPointers(const Pointers&... pointers) noexcept
{
    static_assert(sizeof...(Pointers) > 0);
    return ((pointers != nullptr) && ...) ? S_OK : E_POINTER;
}

} // namespace vlscom
