#include "decoderinterface.h"

namespace vlsshell {

const InterfaceDescription& InterfaceInfo<IVlsAudioDecoder>::description()
{
    using I = IVlsAudioDecoder;
    static const char* const outputFormatHelp
        = "Set format of output audio stream. Note that this method must be called before first read from "
          "decoder. Changes will be lost when you close the file.";
    static const char* const outputFormatWfxHelp
        = "Set format of output audio stream using standard WAVEFORMATEX structure. Note that this method "
          "must "
          "be called before first read from decoder. Changes will be lost when you close the file.";
    static const InterfaceDescription d { I::iid, "IVlsAudioDecoder", "IVlsAudioDecoder Interface",
        InterfaceKind::Dual,
        {
            method<&I::Open>(DISPID_Decoder_Open, "Open", "Open existing audio file.", { "szFilename" }),
            method<&I::OpenHandle>(DISPID_Decoder_OpenHandle, "OpenHandle",
                "Open handle for reading. Useful for redirecting.", { "hSource" }),
            propget<&I::get_Position>(DISPID_Decoder_Position, "Position", "Read position in file."),
            propput<&I::put_Position>(DISPID_Decoder_Position, "Position", "Read position in file."),
            propget<&I::get_Format>(DISPID_Decoder_Format, "Format", "Format of decoded audio samples."),
            propget<&I::get_Bitrate>(DISPID_Decoder_Bitrate, "Bitrate", "Average bitrate of current file."),
            propget<&I::get_Duration>(
                DISPID_Decoder_Duration, "Duration", "Duration of current file (in seconds)."),
            propget<&I::get_TagData>(DISPID_Decoder_TagData, "TagData",
                "TagData object. Use to read basic tag information from file."),
            propget<&I::get_Filename>(DISPID_Decoder_Filename, "Filename", "Name of file currently open."),
            method<&I::Seek>(DISPID_Decoder_Seek, "Seek", "Change read position in file.", { "Position" }),
            method<&I::Read>(DISPID_Decoder_Read, "Read", "Read and decode samples from file.",
                { "data", "count", "Read" }),
            method<&I::Close>(DISPID_Decoder_Close, "Close", "Close file."),
            method<&I::SetOutputFormat>(DISPID_Decoder_SetOutputFormat, "SetOutputFormat", outputFormatHelp,
                { "nChannels", "nSamplesPerSec", "nBitsPerSample" }),
            method<&I::SetOutputFormatWFX>(
                DISPID_Decoder_SetOutputFormatWFX, "SetOutputFormatWFX", outputFormatWfxHelp, { "pWfx" }),
        } };
    return d;
}

} // namespace vlsshell
