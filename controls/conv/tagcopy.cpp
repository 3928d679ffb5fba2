#include "tagcopy.h"

#include "vlscom/bstr.h"
#include "vlscom/comptr.h"

namespace vlsconv {

namespace {

struct TagField {
    HRESULT (IAudioTag::*get)(BSTR*);
    HRESULT (IAudioTag::*put)(BSTR);
};

constexpr TagField tagFields[] = {
    { &IAudioTag::get_Title, &IAudioTag::put_Title },
    { &IAudioTag::get_Artist, &IAudioTag::put_Artist },
    { &IAudioTag::get_Album, &IAudioTag::put_Album },
    { &IAudioTag::get_Year, &IAudioTag::put_Year },
    { &IAudioTag::get_Genre, &IAudioTag::put_Genre },
    { &IAudioTag::get_TrackNo, &IAudioTag::put_TrackNo },
    { &IAudioTag::get_Comment, &IAudioTag::put_Comment },
};

} // namespace

void copyTags(IVlsAudioDecoder& source, IVlsAudioEncoder& destination)
{
    vlscom::ComPtr<IAudioTag> from;
    vlscom::ComPtr<IAudioTag> to;
    source.get_TagData(from.put());
    destination.get_TagData(to.put());
    if (!from || !to)
        return;
    for (const TagField& field : tagFields) {
        vlscom::Bstr text;
        ((*from).*field.get)(text.put());
        ((*to).*field.put)(text.get());
    }
}

} // namespace vlsconv
