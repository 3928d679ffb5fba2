#include "vlscom/messagebox.h"

#include <gtest/gtest.h>

using namespace vlscom;

TEST(MessageBox, WithoutAHandlerQuestionsAreAnsweredNo)
{
    SetMessageBoxHandler({});
    EXPECT_EQ(MessageBox(nullptr, "Overwrite?", "Caption", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Notice", "Caption", MB_OK), IDOK);
}

TEST(MessageBox, TheInstalledHandlerSeesTheQuestionAndAnswers)
{
    std::string seen;
    SetMessageBoxHandler([&](HWND, const std::string& text, const std::string& caption, UINT style) {
        seen = caption + "|" + text + "|" + std::to_string(style);
        return IDYES;
    });
    EXPECT_EQ(MessageBox(nullptr, "File already exists.", "MP3 Encoder Control", MB_YESNO | MB_ICONQUESTION),
        IDYES);
    EXPECT_EQ(seen, "MP3 Encoder Control|File already exists.|36");
    SetMessageBoxHandler({});
}
