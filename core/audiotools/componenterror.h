#pragma once

// Failures of the controls as the audio tools see them: the control's own message, or a
// description of the status when it gave none.

#include "vlscom/activation.h"
#include "vlscom/types.h"
#include "vlsconv.h"
#include "vlsmp3x1.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tmbr::audiotools {

class ComponentError : public std::runtime_error {
public:
    // what() is the description, with the hint as a second line when there is one.
    explicit ComponentError(const std::string& description, std::string hint = {})
        : std::runtime_error(hint.empty() ? description : description + "\n" + hint)
        , m_description(description)
        , m_hint(std::move(hint))
    {
    }

    const std::string& description() const noexcept { return m_description; }
    // How to register the control's server when its class is not registered; empty otherwise.
    const std::string& hint() const noexcept { return m_hint; }

private:
    std::string m_description;
    std::string m_hint;
};

// The failure's description without its hint: what() of any other exception.
std::string descriptionOf(const std::exception& error);

// The hint of a failure as a window shows it below its message, after an empty line; empty when
// the failure carries none.
std::string hintBelow(const std::exception& error);

// Throws ComponentError when hr failed: what() is the description of the calling thread's error
// information (which it takes), else vlscom::describeHresult(hr).
void check(HRESULT hr);

// A control that the audio tools create by ProgID, and the server library that holds it.
struct ControlClass {
    std::u16string_view progId;
    const char* name; // as a sentence starts with it: "The MP3 encoder control"
    const char* server; // the library's file name: "vlsmp3x1.so"
};

inline constexpr ControlClass mp3EncoderControl { VlsMP3Encoderx1_ProgID, "The MP3 encoder control",
    "vlsmp3x1.so" };
inline constexpr ControlClass mp3DecoderControl { VlsMP3Decoderx1_ProgID, "The MP3 decoder control",
    "vlsmp3x1.so" };
inline constexpr ControlClass audioConverterControl { VlsAudioConverter_ProgID, "The audio converter control",
    "vlsconv.so" };

// The line that names the control's server as not registered and gives the command that registers
// it: vlsregsvr and the server where they lie beside this program (bin/ and lib/ of one prefix);
// otherwise "vlsregsvr PATH/" and the server's file name.
std::string registrationHint(const ControlClass& control);

// check(hr) for the creation of control; when its class is not registered (CO_E_CLASSSTRING,
// REGDB_E_CLASSNOTREG) the error's hint is registrationHint(control).
void checkCreated(HRESULT hr, const ControlClass& control);

// Creates control through the class registry as T. Throws ComponentError as checkCreated does.
template <class T> vlscom::ComPtr<T> createControl(const ControlClass& control)
{
    vlscom::ComPtr<T> object;
    checkCreated(vlscom::createInstance(control.progId, object), control);
    return object;
}

// Text upper-cased character by character (Unicode case mapping, independent of the locale), as
// the optimizer shows a converter's error.
std::string upperCase(const std::string& utf8);

} // namespace tmbr::audiotools
