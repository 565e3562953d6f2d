#include "core/common/RtfReader.h"
#include "support/TestDirs.h"

#include <QTextDocument>

#include <gtest/gtest.h>

#include <random>

using namespace skelvin;
using skelvin::test::testData;

namespace {

QByteArray readFixture(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Damages a file at random: flipped bytes, cut ends, removed or doubled pieces, stray braces
// and backslashes.
QByteArray mutate(QByteArray bytes, std::mt19937 &random)
{
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const auto at = qsizetype(random() % std::uint32_t(bytes.size()));
        switch (random() % 6) {
        case 0:
            bytes[at] = char(random());
            break;
        case 1:
            bytes.truncate(at);
            break;
        case 2:
            bytes.remove(at, 1 + qsizetype(random() % 16));
            break;
        case 3:
            bytes.insert(at, bytes.mid(qsizetype(random() % std::uint32_t(bytes.size())), 64));
            break;
        case 4: {
            static const char *pieces[] = {"{",
                                           "}",
                                           "\\",
                                           "\\'",
                                           "\\'4",
                                           "\\u",
                                           "\\u-",
                                           "\\bin",
                                           "\\bin99999999999 ",
                                           "\\uc9",
                                           "\\*",
                                           "\\fs-5",
                                           "\\li99999999999",
                                           "\\f77777"};
            bytes.insert(at, pieces[random() % 14]);
            break;
        }
        default:
            bytes.insert(at, QByteArray(qsizetype(1 + random() % 300), "{}"[random() % 2]));
            break;
        }
    }
    return bytes;
}

// Formatting that a reader may meet between words and must not lose a word over.
const char *const kNoise[] = {
    "\\b ",
    "\\b0 ",
    "\\i ",
    "\\ul ",
    "\\ulnone ",
    "\\plain ",
    "\\pard ",
    "\\qc ",
    "\\li720 ",
    "\\fi-360 ",
    "\\fs40 ",
    "\\f1 ",
    "\\cf2 ",
    "{\\*\\unknown {nested} stuff}",
    "{\\pict 0123abcd}",
    "{\\info{\\title x}}",
    "\\par ",
    "\\line ",
    "{",
    "}",
    "{{{{{{{{",
    "}}}}",
    "\\'e9",
    "\\u233?",
    "\\fs99999999999 ",
    "\\li-9999999999 ",
    "{\\stylesheet{\\s1 Heading;}}",
    "\\'",
    "\\'z",
};

} // namespace

// Stands for the libFuzzer target fuzz/rtf_fuzzer.cpp in every test run: damaged manuals read
// as far as they go, never crashing or hanging.
TEST(RtfReaderFuzz, DamagedFilesNeverCrash)
{
    const QList<QByteArray> files = {
        readFixture(QStringLiteral(SKELVIN_SOURCE_DIR "/resources/DE05Manual.rtf")),
        readFixture(testData(QStringLiteral("rtf/libreoffice.rtf"))),
        readFixture(testData(QStringLiteral("rtf/abiword.rtf"))),
        readFixture(testData(QStringLiteral("rtf/wordpad.rtf"))),
    };
    std::mt19937 random(20050601);
    int read = 0;
    for (int i = 0; i < 1200; ++i) {
        QTextDocument document;
        if (!RtfReader::read(mutate(files[i % files.size()], random), document))
            ++read;
    }
    EXPECT_GT(read, 1000); // most damage leaves the start of the file in place
}

// Between the words of a text, noise of formatting, stray and unbalanced braces, damaged
// escapes and huge numbers: every word is still there, in order.
TEST(RtfReaderFuzz, NoWordIsLostToDamagedFormatting)
{
    std::mt19937 random(1366768);
    for (int round = 0; round < 300; ++round) {
        QStringList words;
        QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 "
                         "Courier;}}{\\colortbl;\\red255\\green0\\blue0;}";
        for (int w = 0; w < 40; ++w) {
            const QString word = QStringLiteral("w%1x%2").arg(round).arg(w);
            words << word;
            rtf += ' ';
            for (int n = int(random() % 3); n > 0; --n)
                rtf += kNoise[random() % std::size(kNoise)];
            rtf += ' ' + word.toLatin1();
        }
        // A file cut anywhere after its first group's start keeps every word before the cut.
        const qsizetype header = qsizetype(sizeof("{\\rtf1"));
        const qsizetype cut =
            random() % 2 ? rtf.size()
                         : header + qsizetype(random() % std::uint32_t(rtf.size() - header));
        QTextDocument document;
        ASSERT_EQ(RtfReader::read(rtf.left(cut), document), std::nullopt);
        const QString text = document.toPlainText();
        qsizetype from = 0;
        for (const QString &word : words) {
            if (rtf.indexOf(word.toLatin1()) + word.size() > cut)
                break;
            const qsizetype at = text.indexOf(word, from);
            ASSERT_GE(at, 0) << "lost " << word.toStdString() << " in\n"
                             << rtf.left(cut).constData();
            from = at + word.size();
        }
    }
}

TEST(RtfReaderFuzz, DeepNestingAndHugeNumbersAreHeldInBounds)
{
    QTextDocument document;
    const QByteArray deep =
        "{\\rtf1 start " + QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + " after}";
    ASSERT_EQ(RtfReader::read(deep, document), std::nullopt);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("start deep after"));

    // Opened and never closed: the text still comes through.
    ASSERT_EQ(RtfReader::read("{\\rtf1 a" + QByteArray(100000, '{') + "b\\b c", document),
              std::nullopt);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("abc"));
    // Closed too often: the text after the stray braces is still read.
    ASSERT_EQ(RtfReader::read("{\\rtf1 one}}} two}}", document), std::nullopt);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("one two"));

    // A huge \\uc passes over no more than eight characters of stand-in text.
    ASSERT_EQ(RtfReader::read(
                  "{\\rtf1\\fs99999999999999999999 big\\li-99999999999999\\fi99999999999 "
                  "\\u99999999999 ?x\\uc999999999 \\u65 12345678kept\\u0 ?\\bin99999999999 lost}",
                  document),
              std::nullopt);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("big\uFFFDxAkept"));
    // Truncated escapes at the end of the file.
    for (const char *end : {"\\", "\\'", "\\'e", "\\u", "\\bin", "\\bin5 ab"}) {
        ASSERT_EQ(RtfReader::read(QByteArray("{\\rtf1 caf") + end, document), std::nullopt) << end;
        EXPECT_EQ(document.toPlainText(), QStringLiteral("caf")) << end;
    }
}
