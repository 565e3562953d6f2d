#pragma once

#include <QString>

namespace skelvin {

// Builds one line of a log in print zones of 14 columns (zones start at columns 1, 15, 29 ...).
// item() writes text where the line stands; zone() pads with blanks to the start of the next
// zone. An item that ends exactly on a zone start still gets a whole zone of blanks, so two
// items are always separated by at least one blank.
class PrintLine
{
public:
    static constexpr int ZoneWidth = 14;

    PrintLine &item(const QString &text);
    PrintLine &zone();
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

} // namespace skelvin
