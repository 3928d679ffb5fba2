#include "mp3optimizer.h"

#include "componenterror.h"
#include "outputfile.h"
#include "vlscom/activation.h"
#include "vlscom/dispatchcall.h"
#include "vlsmp3x1.h"

#include <sys/stat.h>

namespace tmbr::audiotools {

namespace {

constexpr std::int32_t kDecodedRate = 44100;

} // namespace

OptimizerRoute routeFor(std::string_view inputPath)
{
    return inputPath.size() >= 3 && inputPath.substr(inputPath.size() - 3) == "mp3" ? OptimizerRoute::Mp3
                                                                                    : OptimizerRoute::Wave;
}

std::string finishedMessage(OptimizerRoute route, const std::string& outputPath)
{
    return (route == OptimizerRoute::Mp3 ? kConvertedAs : kGeneratedAs) + outputPath;
}

std::string failedMessage(const std::string& errorText)
{
    return upperCase(errorText) + "\n" + kFatalError;
}

Mp3Optimizer::Mp3Optimizer(IOptimizerListener& listener)
    : m_listener(listener)
    , m_encoder(std::make_unique<EncoderClient>())
    , m_converter(std::make_unique<ConverterClient>())
{
    m_converter->setHandlers({
        .OnError = [this](const std::string& text) { onError(text); },
        .OnStart = [this] { onStart(); },
        .OnProgress = [this](int percent) { onProgress(percent); },
        .OnFinish = [this] { onFinish(); },
    });
    m_encoder->setHandlers({
        .OnError = [this](const std::string& text) { onError(text); },
        .OnWaveEncodeStart = [this] { onStart(); },
        .OnWaveEncodeProgress = [this](int percent) { onProgress(percent); },
        .OnWaveEncodeFinish = [this] { onFinish(); },
    });
}

Mp3Optimizer::~Mp3Optimizer()
{
    const bool interrupted = m_state != State::Idle;
    if (interrupted && m_route == OptimizerRoute::Mp3) {
        try {
            m_converter->CancelConversion();
        } catch (const ComponentError&) {
            // Already ended; its finish event is still queued.
        }
    }
    // The converter waits for its worker as it goes; the encoder then stops its wave thread.
    m_converter.reset();
    m_encoder.reset();
    if (interrupted)
        m_output.discard();
}

void Mp3Optimizer::convert(const OptimizerSettings& settings)
{
    if (m_state != State::Idle)
        throw ComponentError("Error: method mustn't be called when conversion is in progress.");
    // Opening the output truncates it: with the input behind that name, the input would be lost.
    if (sameFile(settings.inputPath, mp3OutputName(settings.outputPath)))
        throw ComponentError("The output file is the input file.");
    m_route = routeFor(settings.inputPath);
    m_startSeen = false;
    m_error.clear();
    m_output.discard();
    try {
        setUp(settings);
    } catch (const ComponentError&) {
        if (!m_output.path().empty())
            closeAndRemoveOutput();
        m_state = State::Idle;
        throw;
    }
}

void Mp3Optimizer::setUp(const OptimizerSettings& settings)
{
    EncoderClient& encoder = *m_encoder;
    if (m_route == OptimizerRoute::Mp3) {
        auto decoder = createControl<IVlsAudioDecoder>(mp3DecoderControl);
        m_converter->setSource(decoder.get());
        decoder.reset();
        const auto source = m_converter->Source();
        if (!source)
            throw ComponentError("Cannot run conversion: no decoder connected.");
        check(vlscom::invokeMethod(source.get(), DISPID_Decoder_Open,
            { vlscom::Variant::fromString(std::string_view(settings.inputPath)) }));
        check(vlscom::invokeMethod(source.get(), DISPID_Decoder_SetOutputFormat,
            { vlscom::Variant::fromInt(settings.mono ? 1 : 2), vlscom::Variant::fromInt(kDecodedRate),
                vlscom::Variant::fromInt(0) }));
        m_converter->setDestination(encoder.control());
        encoder.setOverwritePrompt(Setting::Off);
        openEncoderOutput(encoder, settings.outputPath, m_output);
        encoder.SetOutputFormatCBR(settings.bitrate);
        encoder.ForceEncodedSamplerate(settings.sampleRate);
        encoder.setOverwritePrompt(Setting::Off);
        m_state = State::Running;
        m_converter->Go();
    } else {
        encoder.setOverwritePrompt(Setting::Off);
        openEncoderOutput(encoder, settings.outputPath, m_output);
        encoder.ForceEncodedSamplerate(settings.sampleRate);
        encoder.SetOutputFormatCBR(settings.bitrate);
        m_state = State::Running;
        encoder.EncodeFromWave(settings.inputPath);
    }
}

void Mp3Optimizer::onStart()
{
    if (m_state != State::Running)
        return;
    m_startSeen = true;
    m_listener.started();
}

void Mp3Optimizer::onProgress(int percent)
{
    if (m_state == State::Running)
        m_listener.progress(percent);
}

void Mp3Optimizer::onError(const std::string& text)
{
    if (m_state != State::Running)
        return;
    m_error = text;
    m_state = State::Failing;
    if (m_route == OptimizerRoute::Mp3) {
        // The encoder's own errors do not reach the converter; stop it rather than let it write on.
        try {
            m_converter->CancelConversion();
        } catch (const ComponentError&) {
            // Already ended: its finish event follows.
        }
    } else if (!m_startSeen) {
        // Refused before the start: the wave thread has ended and no finish event follows.
        closeAndRemoveOutput();
    }
}

void Mp3Optimizer::onFinish()
{
    if (m_state == State::Idle)
        return;
    if (m_state == State::Running) {
        try {
            m_encoder->Close();
            // The encoder writes nothing, not even the tags, when it was never given a sample.
            struct stat written { };
            if (m_route == OptimizerRoute::Mp3 && !m_output.direct()
                && ::stat(m_output.path().c_str(), &written) == 0 && written.st_size == 0)
                throw ComponentError(kNoAudioDecoded);
            commitOutput(m_output);
        } catch (const ComponentError& error) {
            m_error = error.what();
            m_state = State::Failing;
        }
    }
    if (m_state == State::Failing) {
        closeAndRemoveOutput();
        return;
    }
    m_state = State::Idle;
    m_listener.finished(m_route);
}

void Mp3Optimizer::closeAndRemoveOutput()
{
    try {
        m_encoder->Close();
    } catch (const ComponentError&) {
        // The output is closed all the same, and removed below.
    }
    m_output.discard();
    const bool reportable = m_state == State::Failing;
    m_state = State::Idle;
    if (reportable)
        m_listener.failed(m_error);
}

} // namespace tmbr::audiotools
