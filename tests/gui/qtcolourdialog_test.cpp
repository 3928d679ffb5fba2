#include "codegen/colour.h"
#include "modal.h"
#include "platform/qtcolourdialog.h"

#include <QColorDialog>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

TEST(QtColourDialog, OpensOnTheInitialColourAndCancelYieldsIt)
{
    QtColourDialog dialog;
    QColor shown;
    onModal<QColorDialog>([&](QColorDialog* open) {
        shown = open->currentColor();
        open->reject();
    });
    EXPECT_EQ(dialog.chooseColour(codegen::rgb(255, 204, 102)), codegen::rgb(255, 204, 102));
    EXPECT_EQ(shown, QColor(255, 204, 102));
}

TEST(QtColourDialog, OkYieldsTheChosenColourRedInTheLowestByte)
{
    QtColourDialog dialog;
    onModal<QColorDialog>([](QColorDialog* open) {
        open->setCurrentColor(QColor(10, 0, 255));
        open->accept();
    });
    const std::uint32_t chosen = dialog.chooseColour(codegen::rgb(255, 204, 102));
    EXPECT_EQ(chosen, codegen::rgb(10, 0, 255));
    EXPECT_EQ(codegen::ColourToHex(chosen), "0A00FF");
}

} // namespace
} // namespace tmbr::gui::test
