#pragma once

#include <string>
#include <vector>

namespace tmbr::gui {

// One command string split up: "save recSound /a b/take.wav wait" gives verb
// "save", device "recSound", words {"/a", "b/take.wav", "wait"} and rest
// "/a b/take.wav wait". Verb and words keep their case; compare them with
// sameWord.
struct MciCommand {
    std::string verb;
    std::string device;
    std::vector<std::string> words; // after the device, split at blanks and tabs
    std::string rest; // the text after the device, trimmed
};

MciCommand parseMciCommand(const std::string& text);

// ASCII case-insensitive equality.
bool sameWord(const std::string& a, const std::string& b);

// The file name of a save command: `rest` without a trailing "wait" or
// "notify" flag (each at most once) and without enclosing double quotes.
// Blanks inside the name stay.
std::string savePathOf(const std::string& rest);

} // namespace tmbr::gui
