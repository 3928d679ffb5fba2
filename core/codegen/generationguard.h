#pragma once

#include "generationerror.h"
#include "generators.h"

#include <exception>
#include <new>

namespace tmbr::codegen {

// Runs the generation part of a generator run: any failure inside becomes a
// Failed result carrying the standard error box text.
template <typename Generation> GenerationResult guardedGeneration(Generation&& generation)
{
    const auto failed = [](int number, const std::string& description) {
        GenerationResult result;
        result.status = GenerationStatus::Failed;
        result.message = standardErrorText(number, description);
        return result;
    };
    try {
        return generation();
    } catch (const GenerationError& error) {
        return failed(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        return failed(7, "Out of memory");
    } catch (const std::exception& error) {
        return failed(51, std::string("Internal error: ") + error.what());
    }
}

// A validation message; nothing is written.
inline GenerationResult invalidInput(std::string message, FollowUp followUp)
{
    GenerationResult result;
    result.status = GenerationStatus::Invalid;
    result.message = std::move(message);
    result.followUp = followUp;
    return result;
}

} // namespace tmbr::codegen
