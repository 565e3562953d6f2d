#pragma once

#include <QString>

namespace skelvin {

// Gives a control the name the system knows it by (tests find controls by these names).
template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace skelvin
