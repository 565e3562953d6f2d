#include "core/common/NumberEntryValidator.h"

#include <gtest/gtest.h>

using namespace skelvin;

namespace {

QValidator::State stateOf(const NumberEntryValidator &validator, QString text)
{
    int pos = static_cast<int>(text.size());
    return validator.validate(text, pos);
}

} // namespace

TEST(NumberEntryValidator, NumberBoxesRefuseWhatTheyCannotRead)
{
    const NumberEntryValidator whole(NumberEntry::Whole, {});
    const NumberEntryValidator seconds(NumberEntry::Fraction, {});
    const NumberEntryValidator survey(NumberEntry::SignedFraction, {});
    for (const char *text : {"xyz", "1yz", "2,5", "1e3", "+3"})
        for (const NumberEntryValidator *v : {&whole, &seconds, &survey})
            EXPECT_EQ(stateOf(*v, QString::fromLatin1(text)), QValidator::Invalid) << text;

    EXPECT_EQ(stateOf(whole, "12"), QValidator::Acceptable);
    EXPECT_EQ(stateOf(whole, " 4"), QValidator::Acceptable); // a number the program wrote
    EXPECT_EQ(stateOf(whole, "2.5"), QValidator::Invalid);
    EXPECT_EQ(stateOf(whole, "-1"), QValidator::Invalid);
    EXPECT_EQ(stateOf(seconds, "2.5"), QValidator::Acceptable);
    EXPECT_EQ(stateOf(seconds, "2.5.1"), QValidator::Invalid);
    EXPECT_EQ(stateOf(seconds, "-2"), QValidator::Invalid);
    EXPECT_EQ(stateOf(survey, "-10.25"), QValidator::Acceptable);
    EXPECT_EQ(stateOf(survey, "1-0"), QValidator::Invalid);
    // A number on its way is neither refused nor taken as finished.
    for (const char *text : {"", "-", ".", "-."})
        EXPECT_EQ(stateOf(survey, QString::fromLatin1(text)), QValidator::Intermediate) << text;
}

TEST(NumberEntryValidator, TheProgramsOwnWordsCanBeDeletedButNotTypedOn)
{
    const NumberEntryValidator field(NumberEntry::SignedFraction,
                                     {QStringLiteral("jump x"), QStringLiteral("auto")});
    for (const char *text : {"jump ", "jump", "j", "aut"})
        EXPECT_EQ(stateOf(field, QString::fromLatin1(text)), QValidator::Intermediate) << text;
    for (const char *text : {"jump x1", "autos", "jx", "uto"})
        EXPECT_EQ(stateOf(field, QString::fromLatin1(text)), QValidator::Invalid) << text;
}
