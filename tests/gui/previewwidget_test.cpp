#include "previewwidget.h"

#include <QImage>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

TEST(PreviewWidget, SingleButtonSizeFromItsNameAndColourFromTheMovie)
{
    PreviewWidget preview;
    preview.setMovie("/app/buttonplayers/tmbr_type08_slim.swf", "");
    EXPECT_EQ(preview.playerName(), "tmbr_type08_slim");
    EXPECT_FALSE(preview.isJukebox());
    EXPECT_EQ(preview.playerSize(), QSize(222, 25));
    EXPECT_FALSE(preview.playerColour().isValid());

    preview.setMovie("/app/buttonplayers/tmbr_type04_chameleon.swf?c=0x0A00FF", "0x0A00FF");
    EXPECT_EQ(preview.playerName(), "tmbr_type04_chameleon");
    EXPECT_EQ(preview.playerSize(), QSize(75, 25));
    EXPECT_EQ(preview.playerColour(), QColor(10, 0, 255));

    preview.setMovie("/app/buttonplayers/roundplay.swf", "");
    EXPECT_EQ(preview.playerSize(), QSize(68, 22));
}

TEST(PreviewWidget, JukeboxSizeFromItsNameAndEmptyMovieShowsNothing)
{
    PreviewWidget preview;
    preview.setMovie("/app/jukeboxplayers/jbx_400300_chameleon.swf", "0xFFCC00");
    EXPECT_TRUE(preview.isJukebox());
    EXPECT_EQ(preview.playerSize(), QSize(400, 300));
    EXPECT_EQ(preview.playerColour(), QColor(255, 204, 0));

    preview.setMovie("", "");
    EXPECT_TRUE(preview.playerName().isEmpty());
    EXPECT_FALSE(preview.playerSize().isValid());
}

TEST(PreviewWidget, PaintsThePlayerInItsColour)
{
    PreviewWidget preview;
    preview.resize(330, 240);
    preview.setMovie("/app/jukeboxplayers/jbx_300200_chameleon.swf", "0x00FF00");
    const QImage image = preview.grab().toImage();
    int greenish = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            greenish += pixel.green() > 150 && pixel.red() < 100 && pixel.blue() < 100;
        }
    EXPECT_GT(greenish, 300 * 100) << "most of the 300 x 200 player is drawn in its colour";
}

TEST(ColourFromText, OnlySixHexDigitsAfter0x)
{
    EXPECT_EQ(colourFromText("0xFFCC66"), QColor(255, 204, 102));
    EXPECT_FALSE(colourFromText("FFCC66").isValid());
    EXPECT_FALSE(colourFromText("0xFFCC6").isValid());
    EXPECT_FALSE(colourFromText("0xGGCC66").isValid());
}

} // namespace
} // namespace tmbr::gui::test
