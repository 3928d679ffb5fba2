#include "outputfile.h"

#include "componenterror.h"

#include <cstring>
#include <sys/stat.h>

namespace tmbr::audiotools {

void createOutput(vlscom::ReplacementFile& output, const std::string& path, std::string_view suffix)
{
    if (const int error = output.create(path, suffix))
        throw ComponentError(path + ": " + std::strerror(error));
}

void commitOutput(vlscom::ReplacementFile& output)
{
    if (const int error = output.commit())
        throw ComponentError(output.target() + ": " + std::strerror(error));
}

void openEncoderOutput(EncoderClient& encoder, const std::string& path, vlscom::ReplacementFile& output)
{
    createOutput(output, mp3OutputName(path), ".mp3");
    try {
        if (output.direct()) {
            encoder.Open(path);
            return;
        }
        struct stat existing { };
        const bool replacing = ::stat(output.target().c_str(), &existing) == 0;
        // The temporary file exists already: with the prompt on, the control asks exactly when the
        // user's file exists.
        if (encoder.overwritePrompt() && !replacing) {
            encoder.setOverwritePrompt(Setting::Off);
            try {
                encoder.Open(output.path());
            } catch (const ComponentError&) {
                encoder.setOverwritePrompt(Setting::On);
                throw;
            }
            encoder.setOverwritePrompt(Setting::On);
        } else {
            encoder.Open(output.path());
        }
    } catch (const ComponentError&) {
        output.discard();
        throw;
    }
}

} // namespace tmbr::audiotools
