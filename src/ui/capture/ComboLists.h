#pragma once

#include "core/capture/CaptureListChoices.h"

#include <QStringList>

class QComboBox;

namespace skelvin {

// Fills a list without selecting anything, so the selection made afterwards runs the list's
// handler.
void fillList(QComboBox *list, const QStringList &items);
// What a list shows.
QStringList itemsOf(const QComboBox *list);
// Fills a list and selects its choice (the list's handler runs for the selection).
void showChoice(QComboBox *list, const ListChoice &choice);

} // namespace skelvin
