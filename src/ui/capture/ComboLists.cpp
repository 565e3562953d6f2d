#include "ui/capture/ComboLists.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace skelvin {

void fillList(QComboBox *list, const QStringList &items)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

QStringList itemsOf(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

void showChoice(QComboBox *list, const ListChoice &choice)
{
    fillList(list, choice.items);
    list->setCurrentIndex(choice.selected);
}

} // namespace skelvin
