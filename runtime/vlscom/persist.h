#pragma once

#include "stream.h"
#include "unknown.h"

struct IPersist : IUnknown {
    static constexpr IID iid = vlscom::makeGuid("{0000010C-0000-0000-C000-000000000046}");
    using Base = IUnknown;

    virtual HRESULT GetClassID(CLSID* clsid) = 0;
};

struct IPersistStreamInit : IPersist {
    static constexpr IID iid = vlscom::makeGuid("{7FD52380-4E07-101B-AE2D-08002B2EC713}");
    using Base = IPersist;

    // S_OK when the persisted state changed since it was last saved, loaded or initialised.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    // Bytes that Save would write now.
    virtual HRESULT GetSizeMax(std::uint64_t* size) = 0;
    virtual HRESULT InitNew() = 0;
};
