#include "drawprogress.h"
#include "progressmeter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

const QRgb kBlue = qRgb(0, 0, 128);
const QRgb kWhite = qRgb(255, 255, 255);

QImage draw(double percent, QSize size = { 200, 24 })
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    DrawProgress(painter, image.rect(), percent);
    return image;
}

int count(const QImage& image, QRgb colour, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Text is drawn smoothed: its pixels are judged by their red component,
// 0 for dark blue and 255 for white.
int countLight(const QImage& image, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qRed(image.pixel(x, y)) > 128;
    return n;
}

TEST(ProgressText, IntegerPartOfPercentPlusHalf)
{
    EXPECT_EQ(progressText(0), "0%");
    EXPECT_EQ(progressText(49.5), "50%");
    EXPECT_EQ(progressText(49.49), "49%");
    EXPECT_EQ(progressText(99.6), "100%");
    EXPECT_EQ(progressText(100), "100%");
}

TEST(DrawProgress, ZeroDrawsTheTextOnWhiteWithoutBar)
{
    const QImage image = draw(0);
    EXPECT_EQ(count(image, qRgb(255, 0, 0)), 0) << "the whole area is painted";
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(0, 23), kWhite);
    // Text only in the middle: the left and right quarters stay white.
    EXPECT_EQ(count(image, kWhite, QRect(0, 0, 60, 24)), 60 * 24);
    EXPECT_EQ(count(image, kWhite, QRect(140, 0, 60, 24)), 60 * 24);
    EXPECT_GT(count(image, kBlue, QRect(60, 0, 80, 24)), 0) << "the text \"0%\" in dark blue";
}

TEST(DrawProgress, HalfwayBarEndsJustUnderHalfTheWidth)
{
    const QImage image = draw(49.5);
    // 0.495 × 200 = 99 columns of bar: 0 to 98, on the top row above the text.
    EXPECT_EQ(image.pixel(98, 0), kBlue);
    EXPECT_EQ(image.pixel(99, 0), kWhite);
    EXPECT_EQ(image.pixel(0, 23), kBlue);
    EXPECT_EQ(image.pixel(199, 23), kWhite);
    const QRect underBar(60, 0, 39, 24);
    const QRect besideBar(99, 0, 40, 24);
    EXPECT_GT(countLight(image, underBar), 0) << "text under the bar shows white";
    EXPECT_LT(countLight(image, besideBar), 40 * 24) << "text beside the bar shows dark blue";
}

TEST(DrawProgress, FullBarIsDarkBlueWithWhiteText)
{
    const QImage image = draw(100);
    EXPECT_EQ(image.pixel(0, 0), kBlue);
    EXPECT_EQ(image.pixel(199, 23), kBlue);
    EXPECT_EQ(count(image, kBlue, QRect(0, 0, 60, 24)), 60 * 24);
    EXPECT_GT(countLight(image, image.rect()), 0) << "white text";
    EXPECT_EQ(draw(250).pixel(199, 0), kBlue) << "more than 100 fills the width, no more";
}

TEST(ProgressMeter, WidgetShowsThePercentItWasGiven)
{
    ProgressMeter meter;
    meter.resize(200, 24);
    meter.DrawProgress(49.5);
    EXPECT_EQ(meter.percent(), 49.5);
    const QImage image = meter.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(10, 1), kBlue);
    EXPECT_EQ(image.pixel(190, 1), kWhite);
}

} // namespace
} // namespace tmbr::gui::test
