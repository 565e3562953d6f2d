#pragma once

#include <QListWidget>

#include <optional>

namespace skelvin {

// A list box whose horizontal scrolling range is set from outside, as long log lines need:
// the range covers the extent given, whatever the items' own widths.
class LogList : public QListWidget
{
    Q_OBJECT

public:
    explicit LogList(QWidget *parent = nullptr);

    // The width, in pixels, the list scrolls over horizontally; 0 before one is given.
    int horizontalExtent() const { return m_horizontalExtentPx; }
    void setHorizontalExtent(int pixels);

protected:
    void updateGeometries() override;

private:
    int m_horizontalExtentPx = 0;
};

// Gives the list a horizontal scrolling range as wide as a blank followed by its longest item
// (by number of characters, the first of equally long ones) in the list's own font, so that a
// scroll bar appears when the lines are wider than the list. An empty list is left alone.
// Returns the extent given, or nothing for an empty list.
std::optional<int> FitListHorizontalExtent(LogList &list);

} // namespace skelvin
