#include "platform/qtcolourdialog.h"

#include "codegen/colour.h"
#include "platform/qtparent.h"

#include <QColorDialog>

namespace tmbr::gui {

std::uint32_t QtColourDialog::chooseColour(std::uint32_t initial)
{
    const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
        static_cast<int>((initial >> 16) & 0xFF));
    QColorDialog dialog(start, dialogParent());
    dialog.setObjectName("colourDialog");
    if (dialog.exec() != QDialog::Accepted)
        return initial;
    const QColor chosen = dialog.selectedColor();
    return codegen::rgb(chosen.red(), chosen.green(), chosen.blue());
}

} // namespace tmbr::gui
