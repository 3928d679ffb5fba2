#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <string>
#include <vector>

namespace tmbr::gui {

// Shows `items` in a list or combo box. A view that shows them already is left
// alone, so that its current entry stays.
template <typename View> void showItems(View* view, const std::vector<std::string>& items)
{
    QStringList texts;
    for (const std::string& item : items)
        texts << QString::fromStdString(item);
    QStringList shown;
    for (int row = 0; row < view->count(); ++row)
        shown << view->model()->index(row, 0).data().toString();
    if (shown != texts) {
        view->clear();
        view->addItems(texts);
    }
}

} // namespace tmbr::gui
