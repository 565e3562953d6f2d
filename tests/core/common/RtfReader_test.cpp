#include "core/common/RtfReader.h"
#include "support/TestDirs.h"

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

using namespace skelvin;
using skelvin::test::testData;
using skelvin::test::TestDirs;

namespace {

QString plainText(const QByteArray &rtf)
{
    QTextDocument document;
    const Failure failure = RtfReader::read(rtf, document);
    EXPECT_FALSE(failure.has_value()) << failure.value_or(QString()).toStdString();
    return document.toRawText();
}

// The character format in the middle of the first place the text is found.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    const QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor middle(found);
    middle.setPosition(found.selectionStart() + int(text.size()) / 2 + 1);
    return middle.charFormat();
}

QTextBlock blockOf(const QTextDocument &document, const QString &text)
{
    const QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    return found.block();
}

// The paragraph that holds exactly this text, as a heading does.
QTextBlock paragraph(const QTextDocument &document, const QString &text)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text() == text)
            return block;
    return {};
}

QStringList lines(const QTextDocument &document)
{
    return document.toPlainText().split(QLatin1Char('\n'));
}

} // namespace

TEST(RtfReader, TheShippedManualHasHeadingsListsAndAccents)
{
    QTextDocument document;
    ASSERT_EQ(RtfReader::readFile(QStringLiteral(SKELVIN_SOURCE_DIR "/resources/DE05Manual.rtf"),
                                  document),
              std::nullopt);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Skelvin 2005 Manual\n")))
        << text.left(80).toStdString();
    EXPECT_TRUE(formatOf(document, QStringLiteral("Skelvin 2005 Manual")).fontWeight() >=
                QFont::Bold);
    EXPECT_EQ(blockOf(document, QStringLiteral("Skelvin 2005 Manual")).blockFormat().alignment(),
              Qt::AlignHCenter);
    // Every screen has its own heading, set in bold.
    for (const char *heading :
         {"The main screen", "The capture panel", "The capture screen", "Frame selection",
          "The measure screen", "Grid setup", "Calibrate", "System Configuration",
          "The results viewer", "The log viewers", "Selecting a skier",
          "A jump from start to finish", "The demo", "The files Skelvin keeps"}) {
        const QTextBlock block = paragraph(document, QString::fromLatin1(heading));
        ASSERT_TRUE(block.isValid()) << heading;
        const QTextCharFormat format = block.begin().fragment().charFormat();
        EXPECT_GE(format.fontWeight(), QFont::Bold) << heading;
        EXPECT_GE(format.fontPointSize(), 12) << heading;
    }
    // A list item: its bullet, then the text at the hanging indent.
    const QTextBlock item = blockOf(document, QStringLiteral("Proceed to Capture Video"));
    EXPECT_TRUE(item.text().startsWith(QStringLiteral("\u2022\t"))) << item.text().toStdString();
    EXPECT_LT(item.blockFormat().textIndent(), 0);
    // Accented characters written as \'hh escapes.
    EXPECT_TRUE(text.contains(QStringLiteral("Besan\u00e7on"))) << "c cedilla";
    EXPECT_TRUE(text.contains(QStringLiteral("Lef\u00e8vre"))) << "e grave";
    // Nothing of the font table or the document information shows.
    EXPECT_FALSE(text.contains(QStringLiteral("Arial")));
    EXPECT_FALSE(text.contains(QStringLiteral("Courier New")));
}

TEST(RtfReader, ReadsWhatLibreOfficeWrites)
{
    QTextDocument document;
    ASSERT_EQ(RtfReader::readFile(testData(QStringLiteral("rtf/libreoffice.rtf")), document),
              std::nullopt);
    EXPECT_EQ(
        lines(document),
        (QStringList{
            QStringLiteral("Measuring a jump"),
            QStringLiteral("The operator types the skier's name and the attempt, then presses "
                           "Start Recording."),
            QStringLiteral("Centred line about Zo\u00EB and M\u00FCller from Besan\u00E7on \u2014 "
                           "caf\u00E9 d\u00E9j\u00E0 vu."),
            QStringLiteral("\u2022\tFirst bullet item "),
            QStringLiteral("\u2022\tSecond bullet item with bold text "),
            QStringLiteral(" 1.\tFirst numbered step "),
            QStringLiteral(" 2.\tSecond numbered step "),
            QStringLiteral("Red warning text and a link to the example page."),
            QStringLiteral("Greek \u03B1\u03B2\u03B3, Cyrillic \u0416\u0438\u0437\u043D\u044C, a "
                           "euro sign \u20AC and a smile \U0001F600 beyond the basic plane."),
            QStringLiteral("Cell one\tCell two"),
            QStringLiteral("Cell three\tCell four"),
            QStringLiteral("Braces {like these} and a backslash \\ stay as they are."),
        }));
    EXPECT_GE(formatOf(document, QStringLiteral("Measuring a jump")).fontPointSize(), 24);
    EXPECT_EQ(formatOf(document, QStringLiteral("Measuring a jump")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(document, QStringLiteral("skier's name")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(document, QStringLiteral("The operator")).fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf(document, QStringLiteral("attempt")).fontItalic());
    EXPECT_TRUE(formatOf(document, QStringLiteral("Start Recording")).fontUnderline());
    EXPECT_FALSE(formatOf(document, QStringLiteral("then presses")).fontUnderline());
    EXPECT_EQ(formatOf(document, QStringLiteral("Red warning")).foreground().color(),
              QColor(255, 0, 0));
    EXPECT_EQ(formatOf(document, QStringLiteral("Measuring a jump")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("DejaVu Serif")});
    EXPECT_EQ(blockOf(document, QStringLiteral("Centred line")).blockFormat().alignment(),
              Qt::AlignHCenter);
    // The bullet hangs: the first line starts 283 twips left of the indent of 709 twips.
    const QTextBlockFormat bullet = blockOf(document, QStringLiteral("First bullet")).blockFormat();
    EXPECT_NEAR(bullet.leftMargin(), 709 / 15.0, 0.01);
    EXPECT_NEAR(bullet.textIndent(), -283 / 15.0, 0.01);
}

TEST(RtfReader, ReadsWhatAbiWordAndWordPadWrite)
{
    QTextDocument abiword;
    ASSERT_EQ(RtfReader::readFile(testData(QStringLiteral("rtf/abiword.rtf")), abiword),
              std::nullopt);
    const QStringList abiLines = lines(abiword);
    ASSERT_GE(abiLines.size(), 12);
    EXPECT_EQ(abiLines.mid(0, 5),
              (QStringList{
                  QStringLiteral("Measuring a jump"),
                  QStringLiteral("The operator types the skier's name and the attempt, then "
                                 "presses Start Recording."),
                  QStringLiteral("Centred line about Zo\u00EB and M\u00FCller from Besan\u00E7on "
                                 "\u2014 caf\u00E9 d\u00E9j\u00E0 vu."),
                  QStringLiteral("\u2022\tFirst bullet item"),
                  QStringLiteral("\u2022\tSecond bullet item with bold text"),
              }));
    // AbiWord leaves the numbers out of its list text: the paragraphs become a numbered list.
    const QTextBlock numbered = blockOf(abiword, QStringLiteral("First numbered step"));
    EXPECT_EQ(numbered.text(), QStringLiteral("First numbered step"));
    ASSERT_NE(numbered.textList(), nullptr);
    EXPECT_EQ(numbered.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(
        numbered.textList()->itemText(blockOf(abiword, QStringLiteral("Second numbered step"))),
        QStringLiteral("2."));
    EXPECT_TRUE(abiLines.contains(QStringLiteral("Cell one\tCell two")));
    EXPECT_TRUE(
        abiLines.contains(QStringLiteral("Red warning text and a link to the example page.")));
    EXPECT_EQ(formatOf(abiword, QStringLiteral("Red warning")).foreground().color(),
              QColor(255, 0, 0));

    QTextDocument wordpad;
    ASSERT_EQ(RtfReader::readFile(testData(QStringLiteral("rtf/wordpad.rtf")), wordpad),
              std::nullopt);
    EXPECT_EQ(
        lines(wordpad),
        (QStringList{
            QStringLiteral("Start of the day"),
            QStringLiteral("Before the first jump check the caf\u00E9 list and the grid."),
            QStringLiteral("\u2022\tLoad grid one"),
            QStringLiteral("\u2022\tLoad grid two"),
            QStringLiteral("1.\tRecord the jump"),
            QStringLiteral("2.\tKeep the video"),
            QStringLiteral("A picture: after the picture."),
            QStringLiteral("A binary object after the object, \u20AC and \u20AC for the euro."),
        }));
    EXPECT_EQ(formatOf(wordpad, QStringLiteral("Start of the day")).foreground().color(),
              QColor(0, 77, 187));
    EXPECT_EQ(formatOf(wordpad, QStringLiteral("Start of the day")).fontPointSize(), 16);
    EXPECT_EQ(formatOf(wordpad, QStringLiteral("Before the")).fontPointSize(), 11);
    EXPECT_EQ(formatOf(wordpad, QStringLiteral("Before the")).foreground().style(), Qt::NoBrush);
    EXPECT_TRUE(formatOf(wordpad, QStringLiteral("grid")).fontItalic());
    EXPECT_EQ(blockOf(wordpad, QStringLiteral("A picture")).blockFormat().alignment(),
              Qt::AlignRight);
    // The paragraph after \pard is left aligned again.
    EXPECT_EQ(blockOf(wordpad, QStringLiteral("A binary")).blockFormat().alignment(),
              Qt::AlignLeft);
}

TEST(RtfReader, EscapesAndSpecialCharacters)
{
    EXPECT_EQ(plainText(R"({\rtf1\ansi a\~b\-c\_d\{e\}f\\g})"),
              QStringLiteral("a\u00A0b\u00ADc\u2011d{e}f\\g"));
    EXPECT_EQ(plainText(R"({\rtf1 one\line two\tab three\par four})"),
              QStringLiteral("one\u2028two\tthree\u2029four"));
    // \'hh in the file's code page: Windows-1252 unless told otherwise.
    EXPECT_EQ(plainText(R"({\rtf1\ansi \'80 \'e9\'E8 \'9c})"),
              QStringLiteral("\u20AC \u00E9\u00E8 \u0153"));
    EXPECT_EQ(plainText(R"({\rtf1\ansi\ansicpg28591 \'80\'e9})"), QStringLiteral("\u0080\u00E9"));
    // \uN with its stand-in skipped as \ucN says, negative numbers above 32767, surrogate pairs.
    EXPECT_EQ(plainText(R"({\rtf1 \u8364?x})"), QStringLiteral("\u20ACx"));
    EXPECT_EQ(plainText(R"({\rtf1\uc2 \u8364\'80\'80x})"), QStringLiteral("\u20ACx"));
    EXPECT_EQ(plainText(R"({\rtf1\uc0 \u8364 x})"), QStringLiteral("\u20ACx"));
    EXPECT_EQ(plainText(R"({\rtf1 {\uc3 \u8364 ab}cd})"), QStringLiteral("\u20ACcd"));
    EXPECT_EQ(plainText(R"({\rtf1 \u-3\'3f})"), QStringLiteral("\uFFFD"));
    EXPECT_EQ(plainText(R"({\rtf1 \u-10179?\u-8704?})"), QStringLiteral("\U0001F600"));
    EXPECT_EQ(plainText(R"({\rtf1 \u-10179?x})"), QStringLiteral("\uFFFDx"));
    EXPECT_EQ(plainText(R"({\rtf1 \u-8704?x})"), QStringLiteral("\uFFFDx"));
    EXPECT_EQ(plainText(R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})"),
              QStringLiteral("\u2014\u2013\u2022\u2018\u2019\u201C\u201D"));
    // The Symbol font's bullet, drawn from the font's own table.
    EXPECT_EQ(plainText(R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}}{\f1\'b7}\'b7})"),
              QStringLiteral("\u2022\u00B7"));
    // Hidden text, field instructions and unknown optional destinations are not shown.
    EXPECT_EQ(
        plainText(
            R"({\rtf1 a{\v hidden}b{\field{\*\fldinst HYPERLINK "x"}{\fldrslt c}}d{\*\unknown e}f{\unknownword g}h})"),
        QStringLiteral("abcdfgh"));
    // Tables come out as lines of cells apart by tabs.
    EXPECT_EQ(
        plainText(R"({\rtf1\trowd\cellx1000\cellx2000\pard\intbl a\cell b\cell\row\pard c\par})"),
        QStringLiteral("a\tb\u2029c"));
}

TEST(RtfReader, NotRtfAndUnreadableFilesAreNamed)
{
    QTextDocument document;
    EXPECT_EQ(RtfReader::read("Skelvin manual\r\n", document),
              QStringLiteral("is not a rich text (RTF) file: it does not begin with {\\rtf."));
    EXPECT_EQ(RtfReader::read(QByteArray(), document), QStringLiteral("is empty."));
    EXPECT_EQ(RtfReader::read("\xEF\xBB\xBF  \r\n{\\rtf1 fine}", document), std::nullopt);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("fine"));

    TestDirs dirs;
    const QString missing = dirs.file(QStringLiteral("DE05Manual.rtf"));
    EXPECT_EQ(RtfReader::readFile(missing, document), missing + QStringLiteral(" does not exist."));
    EXPECT_TRUE(document.isEmpty());
    const QString text = dirs.writeFile(QStringLiteral("notes.rtf"), "<html>not rtf</html>");
    EXPECT_EQ(RtfReader::readFile(text, document),
              text +
                  QStringLiteral(" is not a rich text (RTF) file: it does not begin with {\\rtf."));
    const QString folder = dirs.file(QStringLiteral("folder.rtf"));
    QDir().mkpath(folder);
    const Failure unreadable = RtfReader::readFile(folder, document);
    ASSERT_TRUE(unreadable.has_value());
    EXPECT_TRUE(unreadable->startsWith(folder + QStringLiteral(" cannot be read")))
        << unreadable->toStdString();
}
