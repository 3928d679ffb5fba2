#pragma once

// IAudioTag: the seven text tag fields of an MP3 file, reached through the TagData property of the
// encoder and decoder controls of vlsmp3x1 (type library VLSMP3Libx1).

#include "vlscom/bstr.h"
#include "vlscom/dispatch.h"
#include "vlscom/guid.h"

// Declared by the type library as implementing IAudioTag; neither registered nor creatable.
inline constexpr CLSID CLSID_AudioTag = vlscom::makeGuid("{2F62CF6C-CC77-41DB-AE9A-679F9986D736}");

enum AudioTagDispid : DISPID {
    DISPID_AudioTag_Title = 1,
    DISPID_AudioTag_Artist = 2,
    DISPID_AudioTag_Album = 3,
    DISPID_AudioTag_Year = 4,
    DISPID_AudioTag_Genre = 5,
    DISPID_AudioTag_TrackNo = 6,
    DISPID_AudioTag_Comment = 7,
};

// Getters return a new copy (empty if never set); setters store the text as given (null = empty).
struct IAudioTag : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{FEE7660B-D849-4106-A401-63CFB8735FBB}");
    using Base = IDispatch;

    virtual HRESULT get_Title(BSTR* pVal) = 0;
    virtual HRESULT put_Title(BSTR newVal) = 0;
    virtual HRESULT get_Artist(BSTR* pVal) = 0;
    virtual HRESULT put_Artist(BSTR newVal) = 0;
    virtual HRESULT get_Album(BSTR* pVal) = 0;
    virtual HRESULT put_Album(BSTR newVal) = 0;
    virtual HRESULT get_Year(BSTR* pVal) = 0;
    virtual HRESULT put_Year(BSTR newVal) = 0;
    virtual HRESULT get_Genre(BSTR* pVal) = 0;
    virtual HRESULT put_Genre(BSTR newVal) = 0;
    virtual HRESULT get_TrackNo(BSTR* pVal) = 0;
    virtual HRESULT put_TrackNo(BSTR newVal) = 0;
    virtual HRESULT get_Comment(BSTR* pVal) = 0;
    virtual HRESULT put_Comment(BSTR newVal) = 0;
};
