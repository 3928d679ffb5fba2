#include "windowbutton.h"

#include <QPushButton>

namespace tmbr::gui {

QPushButton* windowButton(QWidget* parent, const char* name, const char* caption, const char* toolTip)
{
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(name);
    if (toolTip)
        result->setToolTip(toolTip);
    result->setAutoDefault(false);
    return result;
}

} // namespace tmbr::gui
