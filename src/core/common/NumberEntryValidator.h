#pragma once

#include <QStringList>
#include <QValidator>

namespace skelvin {

// What a number box may hold.
enum class NumberEntry {
    Whole,          // digits only: attempts, loops, frame rates
    Fraction,       // digits and one point: seconds
    SignedFraction, // a minus sign in front as well: survey and screen positions
};

// Lets the operator type only what a number box can read: digits, a point where a fraction is
// allowed, a minus sign in front where a value may be negative, and the blanks around a number
// that the program's own number texts carry (" 4"). The program's own words in a box ("auto",
// "input", "Jump") are put there by the program, past the validator; the operator may still
// delete them from the end, as every shorter beginning of such a word is taken as unfinished.
class NumberEntryValidator : public QValidator
{
public:
    NumberEntryValidator(NumberEntry entry, QStringList programWords, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    NumberEntry m_entry;
    QStringList m_programWords;
};

} // namespace skelvin
