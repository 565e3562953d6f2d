#include "core/common/NumberEntryValidator.h"

#include <QRegularExpression>

namespace skelvin {

namespace {

const QRegularExpression &patternOf(NumberEntry entry)
{
    static const QRegularExpression whole(QStringLiteral("^ *[0-9]* *$"));
    static const QRegularExpression fraction(QStringLiteral("^ *[0-9]*\\.?[0-9]* *$"));
    static const QRegularExpression signedFraction(QStringLiteral("^ *-?[0-9]*\\.?[0-9]* *$"));
    switch (entry) {
    case NumberEntry::Whole: return whole;
    case NumberEntry::Fraction: return fraction;
    case NumberEntry::SignedFraction: break;
    }
    return signedFraction;
}

bool hasDigit(const QString &text)
{
    for (const QChar c : text)
        if (c.isDigit())
            return true;
    return false;
}

} // namespace

NumberEntryValidator::NumberEntryValidator(NumberEntry entry, QStringList programWords,
                                           QObject *parent)
    : QValidator(parent), m_entry(entry), m_programWords(std::move(programWords))
{
}

QValidator::State NumberEntryValidator::validate(QString &input, int &) const
{
    if (patternOf(m_entry).match(input).hasMatch())
        return hasDigit(input) ? Acceptable : Intermediate;
    for (const QString &word : m_programWords)
        if (!word.isEmpty() && word.startsWith(input))
            return Intermediate;
    return Invalid;
}

} // namespace skelvin
