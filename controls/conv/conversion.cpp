// The conversion bodies of VlsAudioConverter: the worker of Go and the synchronous body of GoSync.

#include "convertermessages.h"
#include "tagcopy.h"
#include "vlsaudioconverter.h"
#include "vlscom/bstr.h"
#include "vlscom/errorinfo.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

namespace vlsconv {

namespace {

// Clears the calling thread's error information, so that a failure that sets none is not described
// by an earlier one.
void clearErrorInfo()
{
    SetErrorInfo(0, nullptr);
}

// The text for a failed call: the prefix and the call's error description, or the plain variant.
std::u16string failureText(const FailureText& failure)
{
    if (const auto info = vlscom::takeErrorInfo())
        return vlscom::toUtf16(failure.withDescription) + info->description;
    return vlscom::toUtf16(failure.plain);
}

} // namespace

void VlsAudioConverter::runWorker(
    vlscom::ComPtr<IVlsAudioDecoder> source, vlscom::ComPtr<IVlsAudioEncoder> destination, bool keepTags)
{
    try {
        convert(*source, *destination, keepTags);
    } catch (...) {
        // Out of memory while building a text: nothing may leave the thread, and the conversion
        // still ends with OnFinish.
    }
    // The converter keeps its own references while running; the worker drops its copies first so
    // that it never releases the last one.
    source.reset();
    destination.reset();
    m_running = false;
    post(WM_CONVERTER_FINISH);
}

void VlsAudioConverter::convert(IVlsAudioDecoder& source, IVlsAudioEncoder& destination, bool keepTags)
{
    post(WM_CONVERTER_START);

    WAVEFORMATEX format {};
    clearErrorInfo();
    if (FAILED(source.get_Format(&format))) {
        postError(failureText(decoderFormatFailure));
        return;
    }
    clearErrorInfo();
    if (FAILED(destination.SetInputFormatWFX(&format))) {
        postError(failureText(encoderFormatFailure));
        return;
    }
    if (keepTags)
        copyTags(source, destination);

    std::array<std::uint8_t, conversionBlockBytes> buffer;
    std::int32_t lastPercent = -1;
    std::int32_t count = 0;
    clearErrorInfo();
    HRESULT lastRead = source.Read(buffer.data(), conversionBlockBytes, &count);
    if (count > 0) {
        for (;;) {
            count = std::min(count, conversionBlockBytes);
            if (FAILED(lastRead) || !listenerText(Side::Encoder).empty()
                || !listenerText(Side::Decoder).empty() || m_cancel)
                break;
            clearErrorInfo();
            const HRESULT written = destination.Write(buffer.data(), count);
            if (FAILED(written))
                waitForListenerText(Side::Encoder);
            if (!listenerText(Side::Encoder).empty())
                break;
            if (FAILED(written)) {
                postError(failureText(writeFailure));
                return;
            }

            std::int32_t duration = 0;
            std::int32_t position = 0;
            const HRESULT durationStatus = source.get_Duration(&duration);
            source.get_Position(&position);
            // Without a duration there is no percentage: no progress for this block.
            if (SUCCEEDED(durationStatus) && duration != 0) {
                // The product wraps in 32 bits; the quotient is taken in 64.
                const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(position) * 100U);
                const auto percent
                    = static_cast<std::int32_t>(std::int64_t { product } / std::int64_t { duration });
                if (percent != lastPercent) {
                    lastPercent = percent;
                    post(WM_CONVERTER_PROGRESS,
                        static_cast<vlscom::WPARAM>(static_cast<std::uint32_t>(percent)));
                }
            }

            clearErrorInfo();
            count = 0;
            lastRead = source.Read(buffer.data(), conversionBlockBytes, &count);
            if (FAILED(lastRead))
                waitForListenerText(Side::Decoder);
            if (!listenerText(Side::Decoder).empty())
                break;
            if (FAILED(lastRead)) {
                postError(failureText(readFailure));
                return;
            }
            if (count <= 0)
                break;
        }
    }

    if (const std::u16string text = listenerText(Side::Encoder); !text.empty()) {
        postError(vlscom::toUtf16(encoderEventPrefix) + text);
    } else if (const std::u16string text = listenerText(Side::Decoder); !text.empty()) {
        postError(vlscom::toUtf16(decoderEventPrefix) + text);
    } else if (FAILED(lastRead)) {
        postError(vlscom::toUtf16(readFailure.plain));
    } else {
        clearErrorInfo();
        if (FAILED(source.Close())) {
            postError(failureText(decoderCloseFailure));
            return;
        }
        clearErrorInfo();
        if (FAILED(destination.Close()))
            postError(failureText(encoderCloseFailure));
    }
}

std::u16string VlsAudioConverter::listenerText(Side side) const
{
    const std::lock_guard lock(m_texts->mutex);
    return side == Side::Encoder ? m_texts->encoder : m_texts->decoder;
}

void VlsAudioConverter::waitForListenerText(Side side) const
{
    for (int attempt = 0; attempt < 10 && listenerText(side).empty(); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void VlsAudioConverter::postError(std::u16string_view text) const
{
    if (const BSTR message = vlscom::allocBstr(text))
        post(WM_CONVERTER_ERROR, reinterpret_cast<vlscom::WPARAM>(message), vlscom::freeBstrPayload);
}

HRESULT VlsAudioConverter::convertSync(IVlsAudioDecoder& source, IVlsAudioEncoder& destination)
{
    WAVEFORMATEX format {};
    if (const HRESULT hr = source.get_Format(&format); FAILED(hr))
        return hr;
    if (const HRESULT hr = destination.SetInputFormatWFX(&format); FAILED(hr))
        return hr;
    if (m_keepTags != 0) {
        copyTags(source, destination);
        clearErrorInfo();
    }
    // The buffer lives on the heap: GoSync runs on the host's thread, whose stack is not ours.
    std::vector<std::uint8_t> buffer(conversionBlockBytes);
    for (;;) {
        std::int32_t count = 0;
        if (FAILED(source.Read(buffer.data(), conversionBlockBytes, &count)))
            throw vlsshell::ControlError(std::string(readFailure.plain));
        if (count < 1) {
            if (const HRESULT hr = source.Close(); FAILED(hr))
                return hr;
            return destination.Close();
        }
        // A decoder that claims more than it was given room for is not trusted beyond the buffer.
        if (FAILED(destination.Write(buffer.data(), std::min(count, conversionBlockBytes))))
            throw vlsshell::ControlError(std::string(writeFailure.plain));
    }
}

} // namespace vlsconv
