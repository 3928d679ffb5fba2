#include "splashwindow.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

TEST(SplashWindow, ClosesItselfAfter2000MsWithTheBusyPointer)
{
    SplashWindow splash;
    EXPECT_EQ(splash.timer().interval(), 2000);
    EXPECT_TRUE(splash.timer().isSingleShot());
    EXPECT_TRUE(splash.isModal());
    EXPECT_EQ(splash.cursor().shape(), Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(splash.isVisible());
}

} // namespace
} // namespace tmbr::gui::test
