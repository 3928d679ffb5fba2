#pragma once

// The messages of the audio converter control, UTF-8. The worker's error texts come in pairs: the
// prefix ending in ": " takes the failing call's error description; the variant ending in "." is
// used when the call left no error information.

#include <string_view>

namespace vlsconv {

inline constexpr std::string_view propertyWhileRunningMessage
    = "Error: cannot set property: conversion in progress.";
inline constexpr std::string_view noDecoderMessage = "Cannot run conversion: no decoder connected.";
inline constexpr std::string_view noEncoderMessage = "Cannot run conversion: no encoder connected.";
inline constexpr std::string_view methodWhileRunningMessage
    = "Error: method mustn't be called when conversion is in progress.";
inline constexpr std::string_view cancelWhileIdleMessage
    = "Cannot cancel conversion because there's no conversion process running...";
inline constexpr std::string_view noDecoderFoundMessage = "Cannot find appropriate decoder.";
inline constexpr std::string_view openWithoutDecoderMessage
    = "Cannot open destination: no decoder connected.";
inline constexpr std::string_view openWithoutEncoderMessage
    = "Cannot open destination: no encoder connected.";
inline constexpr std::string_view destinationIsSourceMessage
    = "Cannot open destination: it is the source file.";

struct FailureText {
    std::string_view withDescription; // followed by the error's description
    std::string_view plain;
};

inline constexpr FailureText decoderFormatFailure { "Cannot proceed: decoder failed: ",
    "Cannot proceed: decoder failed." };
inline constexpr FailureText encoderFormatFailure { "Cannot proceed: encoder failed: ",
    "Cannot proceed: encoder failed." };
inline constexpr FailureText writeFailure { "Cannot write samples, encoder failed: ",
    "Cannot write samples, encoder failed." };
inline constexpr FailureText readFailure { "Cannot read samples, decoder failed: ",
    "Cannot read samples, decoder failed." };
inline constexpr FailureText decoderCloseFailure { "Decoder error: ", "Decoder error." };
inline constexpr FailureText encoderCloseFailure { "Encoder error: ", "Encoder error." };

// Followed by the text that the encoder's or decoder's own OnError event delivered.
inline constexpr std::string_view encoderEventPrefix = "Error: encoder failed: ";
inline constexpr std::string_view decoderEventPrefix = "Error: decoder failed: ";

} // namespace vlsconv
