#include "ui/logs/LogList.h"

#include "core/logs/SessionLogListing.h"

#include <QFontMetrics>
#include <QScrollBar>

namespace skelvin {

LogList::LogList(QWidget *parent) : QListWidget(parent)
{
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Whole lines: the scroll bar reaches their ends, nothing is cut to "...".
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
}

void LogList::setHorizontalExtent(int pixels)
{
    m_horizontalExtentPx = pixels;
    updateGeometries();
}

void LogList::updateGeometries()
{
    QListWidget::updateGeometries();
    if (m_horizontalExtentPx <= 0)
        return;
    QScrollBar *bar = horizontalScrollBar();
    bar->setPageStep(viewport()->width());
    bar->setRange(0, std::max(0, m_horizontalExtentPx - viewport()->width()));
}

std::optional<int> FitListHorizontalExtent(LogList &list)
{
    QStringList items;
    items.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        items << list.item(i)->text();
    const qsizetype longest = SessionLogListing::longestLine(items);
    if (longest < 0)
        return std::nullopt;
    const int extent =
        QFontMetrics(list.font()).horizontalAdvance(QLatin1Char(' ') + items[longest]);
    list.setHorizontalExtent(extent);
    return extent;
}

} // namespace skelvin
