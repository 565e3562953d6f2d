#pragma once

#include "core/common/Result.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextDocument;
class QTextList;

namespace skelvin {

class RtfTokenizer;
struct RtfToken;

// Reads the rich text of the operator's manual (and of other files written by word processors
// or by hand) into a QTextDocument: paragraphs with their alignment, indents and spacing, bold,
// italic, underlined and coloured text in the fonts and sizes the file names, bullets and
// numbers of lists, and every character the file's code page or \u escapes give. What the
// manual does not need (pictures, style sheets, document information, fields' instructions,
// headers and footers) is passed over without losing the text around it. Damaged files read as
// far as they go; they never crash the reader or make it hang.
class RtfReader
{
public:
    // Groups nested deeper than this are read as part of the deepest one followed.
    static constexpr int kMaxGroupDepth = 100;
    // Files larger than this are refused rather than read into memory.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    // Empties `document` and fills it from the bytes. Bytes that are not RTF at all leave the
    // document empty and give the reason.
    static Failure read(const QByteArray &bytes, QTextDocument &document);
    // The same from a file; a missing or unreadable file gives the reason with its path.
    static Failure readFile(const QString &path, QTextDocument &document);

private:
    enum class Destination { Body, Skip, FontTable, ColorTable, ListTable, ListOverrideTable };

    struct CharacterState
    {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        bool hidden = false;
        // -1 subscript, 0 normal, 1 superscript
        int vertical = 0;
        int font = 0;
        int halfPoints = 24;
        int colour = 0;
        int background = 0;
    };

    struct ParagraphState
    {
        Qt::Alignment alignment = Qt::AlignLeft;
        int leftTwips = 0;
        int rightTwips = 0;
        int firstLineTwips = 0;
        int beforeTwips = 0;
        int afterTwips = 0;
        QList<int> tabTwips;
        // \lsN and \ilvlN of a list paragraph; 0 for none.
        int listOverride = 0;
        int listLevel = 0;
    };

    struct GroupState
    {
        CharacterState characters;
        ParagraphState paragraph;
        Destination destination = Destination::Body;
        int unicodeSkip = 1;
    };

    struct FontEntry
    {
        QString name;
        int charset = 0;
        QFont::StyleHint hint = QFont::AnyStyle;
    };

    explicit RtfReader(QTextDocument &document);

    void run(const QByteArray &bytes);
    void groupStart();
    void groupEnd();
    void controlWord(const RtfToken &token, RtfTokenizer &tokenizer);
    bool characterWord(const QByteArray &word, bool hasParameter, int parameter);
    bool paragraphWord(const QByteArray &word, bool hasParameter, int parameter);
    bool destinationWord(const QByteArray &word);
    void tableWord(const QByteArray &word);
    void controlSymbol(unsigned char symbol);
    void textBytes(const QByteArray &bytes);
    void unicodeCharacter(int parameter);

    // Body text at the cursor in the current character format.
    void append(const QString &text);
    void appendCodePoint(char32_t codePoint);
    void flushSurrogate();
    void endParagraph();
    // Ends the paragraph only when something has been written into it (\page, \sect).
    void breakParagraph();

    QChar decodeByte(unsigned char byte) const;
    QTextCharFormat characterFormat();
    QTextBlockFormat blockFormat() const;
    void placeInList();

    GroupState &state() { return m_stack.back(); }
    CharacterState defaultCharacters() const;

    QTextDocument &m_document;
    QTextCursor m_cursor;
    std::vector<GroupState> m_stack;
    // Groups opened beyond kMaxGroupDepth and not yet closed.
    int m_excessDepth = 0;
    bool m_nextIsIgnorable = false;
    int m_skipCount = 0;
    char16_t m_pendingHighSurrogate = 0;

    int m_codePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    int m_fontEntry = 0;
    QString m_fontName;
    QList<QColor> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;

    // List numbering formats (\levelnfc of each level) by \listid, and \ls to \listid.
    QHash<int, QList<int>> m_listLevelFormats;
    QList<int> m_currentListLevels;
    int m_overrideListId = 0;
    QHash<int, int> m_overrideToList;

    bool m_paragraphHasContent = false;
    bool m_paragraphHasListText = false;
    // Where the list text group of this paragraph opened (its depth; 0 for none) and began.
    std::size_t m_listTextDepth = 0;
    int m_listTextStart = 0;
    bool m_cellSeparatorPending = false;
    QTextList *m_openList = nullptr;
    int m_openListOverride = 0;
    int m_openListLevel = 0;

    QTextCharFormat m_format;
    bool m_formatDirty = true;
};

} // namespace skelvin
