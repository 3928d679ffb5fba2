#include "audiotaginterface.h"

namespace vlsshell {

const InterfaceDescription& InterfaceInfo<IAudioTag>::description()
{
    using I = IAudioTag;
    static const InterfaceDescription d { I::iid, "IAudioTag", "Basic tagging support.", InterfaceKind::Dual,
        {
            propget<&I::get_Title>(DISPID_AudioTag_Title, "Title", "Track title"),
            propput<&I::put_Title>(DISPID_AudioTag_Title, "Title", "Track title"),
            propget<&I::get_Artist>(DISPID_AudioTag_Artist, "Artist", "Artist (author)"),
            propput<&I::put_Artist>(DISPID_AudioTag_Artist, "Artist", "Artist (author)"),
            propget<&I::get_Album>(DISPID_AudioTag_Album, "Album", "Album title"),
            propput<&I::put_Album>(DISPID_AudioTag_Album, "Album", "Album title"),
            propget<&I::get_Year>(DISPID_AudioTag_Year, "Year", "Track year"),
            propput<&I::put_Year>(DISPID_AudioTag_Year, "Year", "Track year"),
            propget<&I::get_Genre>(DISPID_AudioTag_Genre, "Genre", "Track genre"),
            propput<&I::put_Genre>(DISPID_AudioTag_Genre, "Genre", "Track genre"),
            propget<&I::get_TrackNo>(DISPID_AudioTag_TrackNo, "TrackNo", "Track number"),
            propput<&I::put_TrackNo>(DISPID_AudioTag_TrackNo, "TrackNo", "Track number"),
            propget<&I::get_Comment>(DISPID_AudioTag_Comment, "Comment", "Track comment (description)"),
            propput<&I::put_Comment>(DISPID_AudioTag_Comment, "Comment", "Track comment (description)"),
        } };
    return d;
}

} // namespace vlsshell
