#pragma once

// The MP3 optimizer without its window: re-encodes an MP3 file (decoder -> converter -> encoder)
// or a WAV file (the encoder's wave-file encoding) at a constant bit rate and a chosen sample
// rate, and reports the run to a listener. The desktop program's optimizer window and
// `tmbr optimize` both drive it.
//
// Events reach the listener on the thread that created the optimizer while that thread
// dispatches its messages (vlscom::PumpMessages() or a loop on vlscom::MessageQueueFd()).

#include "converterclient.h"
#include "encoderclient.h"
#include "vlscom/replacementfile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tmbr::audiotools {

// Texts of the optimizer, shown by the window and printed by the command.
inline constexpr char kInputNotSpecified[] = "INPUT FILE NOT SPECIFIED!";
inline constexpr char kOutputNotSpecified[] = "OUTPUT FILE NOT SPECIFIED!";
inline constexpr char kOutputIsInput[]
    = "OUTPUT FILE IS THE INPUT FILE! WRITING IT WOULD DESTROY THE INPUT. CHOOSE ANOTHER OUTPUT FILE.";
inline constexpr char kConvertedAs[] = "MP3 FILE CONVERTED AS - ";
inline constexpr char kGeneratedAs[] = "MP3 FILE GENERATED AS - ";
inline constexpr char kFatalError[]
    = "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!";

struct OptimizerSettings {
    std::string inputPath; // UTF-8
    std::string outputPath; // UTF-8; the encoder adds ".mp3" when it does not end in it
    std::int32_t sampleRate = 22050; // Hz: 11025, 22050 or 44100
    std::int32_t bitrate = 56000; // bit/s: the chosen kbit/s x 1000
    bool mono = true; // MP3 input decoded to one channel (no effect on a WAV input)
};

enum class OptimizerRoute {
    Mp3, // decoder -> converter -> encoder
    Wave, // the encoder's own wave-file encoding
};

// Mp3 when the last three characters are exactly "mp3" (case matters: SONG.MP3 is taken for WAV).
OptimizerRoute routeFor(std::string_view inputPath);

// The success message: kConvertedAs (Mp3) or kGeneratedAs (Wave) + outputPath.
std::string finishedMessage(OptimizerRoute route, const std::string& outputPath);
// The failure message: the error text upper-cased, a line break ("\n"), kFatalError.
std::string failedMessage(const std::string& errorText);

class IOptimizerListener {
public:
    virtual ~IOptimizerListener() = default;
    // The conversion has started (draw 0 %, show the progress bar, disable Convert).
    virtual void started() = 0;
    // 0 to 100.
    virtual void progress(int percent) = 0;
    // The output is complete, closed and in place under its name.
    virtual void finished(OptimizerRoute route) = 0;
    // The run failed after it had been set up (kNoAudioDecoded when an MP3 input gave no audio at
    // all); the output has been closed and an earlier file under its name is as it was.
    virtual void failed(const std::string& errorText) = 0;
};

class Mp3Optimizer {
public:
    // Creates the two controls the window holds: the encoder ("Aurikit.MP3Encoderx1") and the
    // converter ("Aurikit.AudioConverter"). Throws ComponentError.
    explicit Mp3Optimizer(IOptimizerListener& listener);
    // A run still going on is cancelled; an earlier file under the output's name stays as it was.
    ~Mp3Optimizer();
    Mp3Optimizer(const Mp3Optimizer&) = delete;
    Mp3Optimizer& operator=(const Mp3Optimizer&) = delete;

    // Sets the controls up for one run and starts it; returns at once, the listener hears the
    // rest. Mp3 route: a new decoder ("Aurikit.MP3Decoderx1") becomes the converter's Source, is
    // opened and set to 1 or 2 channels at 44100 Hz; the encoder becomes the Destination and is
    // opened (OverwritePrompt off) at the bit rate and sample rate; then Go. Wave route: the
    // encoder is opened (OverwritePrompt off) at the sample rate and bit rate; then
    // EncodeFromWave. The encoder writes a temporary file beside the output, which takes the
    // output's place only when the run is complete (openEncoderOutput). Throws ComponentError when
    // any of this fails (the window's fatal case); the temporary file is then closed and removed.
    // Refused while a run is going on, and when the output would be the input file itself.
    void convert(const OptimizerSettings& settings);

    bool running() const { return m_state != State::Idle; }

    EncoderClient& encoder() { return *m_encoder; }
    ConverterClient& converter() { return *m_converter; }

private:
    enum class State { Idle, Running, Failing };

    void setUp(const OptimizerSettings& settings);
    void onStart();
    void onProgress(int percent);
    void onError(const std::string& text);
    void onFinish();
    void closeAndRemoveOutput();

    IOptimizerListener& m_listener;
    // Owned through pointers so that destruction can end the converter's run before the encoder's.
    std::unique_ptr<EncoderClient> m_encoder;
    std::unique_ptr<ConverterClient> m_converter;
    State m_state = State::Idle;
    OptimizerRoute m_route = OptimizerRoute::Mp3;
    bool m_startSeen = false;
    vlscom::ReplacementFile m_output;
    std::string m_error;
};

} // namespace tmbr::audiotools
