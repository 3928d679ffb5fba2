#pragma once

// The members of IAudioTag over a TagFields record, written once for every control that exposes
// tags. A control lists AudioTagMembers<Control> where it would list IAudioTag:
//
//   class Decoder final : public vlsshell::Control<Decoder, IVlsAudioDecoder, AudioTagMembers<Decoder>> {
//       friend AudioTagMembers<Decoder>;
//       template <class Body> HRESULT call(Body&& body);  // the control's guard
//       TagFields& tagFields();                            // the record the members read and write
//   };
//
// Getters return a new copy (E_OUTOFMEMORY when it cannot be made), setters store the text as
// given (null = empty); each runs inside the control's call().

#include "audiotaginterface.h"
#include "tagfields.h"
#include "vlscom/bstr.h"
#include "vlsshell/controlerror.h"

#include <string>

namespace vlsmp3 {

template <class Control> class AudioTagMembers : public IAudioTag {
public:
    HRESULT get_Title(BSTR* pVal) override { return get(&TagFields::title, pVal); }
    HRESULT put_Title(BSTR newVal) override { return put(&TagFields::title, newVal); }
    HRESULT get_Artist(BSTR* pVal) override { return get(&TagFields::artist, pVal); }
    HRESULT put_Artist(BSTR newVal) override { return put(&TagFields::artist, newVal); }
    HRESULT get_Album(BSTR* pVal) override { return get(&TagFields::album, pVal); }
    HRESULT put_Album(BSTR newVal) override { return put(&TagFields::album, newVal); }
    HRESULT get_Year(BSTR* pVal) override { return get(&TagFields::year, pVal); }
    HRESULT put_Year(BSTR newVal) override { return put(&TagFields::year, newVal); }
    HRESULT get_Genre(BSTR* pVal) override { return get(&TagFields::genre, pVal); }
    HRESULT put_Genre(BSTR newVal) override { return put(&TagFields::genre, newVal); }
    HRESULT get_TrackNo(BSTR* pVal) override { return get(&TagFields::trackNo, pVal); }
    HRESULT put_TrackNo(BSTR newVal) override { return put(&TagFields::trackNo, newVal); }
    HRESULT get_Comment(BSTR* pVal) override { return get(&TagFields::comment, pVal); }
    HRESULT put_Comment(BSTR newVal) override { return put(&TagFields::comment, newVal); }

private:
    Control& control() { return static_cast<Control&>(*this); }

    HRESULT get(std::u16string TagFields::*field, BSTR* pVal)
    {
        return control().call([&] {
            BSTR& out = vlsshell::requirePointer(pVal);
            out = nullptr;
            out = vlscom::allocBstr(std::u16string_view(control().tagFields().*field));
            return out ? S_OK : E_OUTOFMEMORY;
        });
    }

    HRESULT put(std::u16string TagFields::*field, BSTR newVal)
    {
        return control().call(
            [&] { control().tagFields().*field = std::u16string(vlscom::bstrView(newVal)); });
    }
};

} // namespace vlsmp3

// The members answer IDispatch from IAudioTag's description.
template <class Control>
struct vlsshell::InterfaceInfo<vlsmp3::AudioTagMembers<Control>> : vlsshell::InterfaceInfo<IAudioTag> {
};
