#include "encodermessages.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace vlsmp3;

// Every internal error number appears at exactly one entry, and its text starts with it; no two
// entries share a text, so a report names the one failure that raised it.
TEST(EncoderMessageCatalogue, InternalNumbersAreUniqueAndMatchTheirTexts)
{
    std::set<int> numbers;
    std::set<std::string> texts;
    for (const EncoderMessageEntry& entry : encoderMessageCatalogue()) {
        const std::string text(entry.text);
        EXPECT_TRUE(texts.insert(text).second) << "text used twice: " << text;
        const bool numbered = text.rfind("Internal error #", 0) == 0;
        EXPECT_EQ(numbered, entry.internalNumber != 0) << text;
        if (entry.internalNumber == 0)
            continue;
        EXPECT_TRUE(numbers.insert(entry.internalNumber).second)
            << "number used twice: " << entry.internalNumber;
        EXPECT_EQ(text.rfind("Internal error #" + std::to_string(entry.internalNumber) + ".", 0), 0U) << text;
    }
    std::set<int> expected;
    for (int i = 1; i <= 20; ++i)
        expected.insert(i);
    EXPECT_EQ(numbers, expected);
}

// Each message id finds its own entry.
TEST(EncoderMessageCatalogue, IdsIndexTheirEntries)
{
    const auto catalogue = encoderMessageCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        EXPECT_EQ(messageText(catalogue[i].id), catalogue[i].text);
    EXPECT_EQ(messageText(EncoderMessage::LibraryNotLoaded),
        "Internal error #1. Lame_enc.dll could not be loaded.");
    EXPECT_EQ(
        messageText(EncoderMessage::OverwriteQuestion), "File already exists. Do you wish to overwrite it?");
}

// "%s" takes the system's text; the messages of the encoding thread have no closing period.
TEST(EncoderMessageCatalogue, SystemTextFillsThePlaceholder)
{
    EXPECT_EQ(formatMessage(EncoderMessage::PipeBroken, EPIPE),
        "Internal error #9. Pipe broken. System error message: Broken pipe.");
    EXPECT_EQ(formatMessage(EncoderMessage::WriteFailed16Bit, ENOSPC),
        "Internal error #20. Cannot write. System error message: No space left on device");
    EXPECT_EQ(formatMessage(EncoderMessage::FlushFailed, ENOSPC), "Internal error #10.");
    EXPECT_EQ(formatMessage(EncoderMessage::OutputCloseFailed, EIO),
        "Cannot close the output file. System error message: Input/output error.");
}
