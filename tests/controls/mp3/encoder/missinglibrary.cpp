#include "encodererror.h"
#include "lamebinding.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace vlsmp3;

// With the library name pointed at a missing file, binding fails with #1, every time.
TEST(LameBindingOverride, MissingLibraryGivesMessage1)
{
    ::setenv(LameBinding::libraryVariable, "/nonexistent/libmp3lame.so.0", 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            LameBinding::bound();
            ADD_FAILURE() << "bound a missing library";
        } catch (const EncoderError& error) {
            EXPECT_EQ(error.message(), "Internal error #1. Lame_enc.dll could not be loaded.");
        }
    }
}
