#include "core/common/RtfReader.h"

#include "core/common/RtfTokenizer.h"
#include "core/common/TextFile.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

namespace skelvin {

namespace {

// Margins, indents and tab stops are kept within a wide page; a damaged number stays sane.
constexpr int kMaxTwips = 31680; // 22 inches
constexpr int kMaxTabStops = 64;
constexpr int kMaxColours = 4096;
constexpr int kMaxUnicodeSkip = 8;
constexpr int kMaxHalfPoints = 3276;

// The symbol font character set: its bytes are pictures of symbols, not letters.
constexpr int kSymbolCharset = 2;

int clampTwips(int twips)
{
    return std::clamp(twips, -kMaxTwips, kMaxTwips);
}

qreal twipsToPixels(int twips)
{
    return twips / 15.0;
}

// What the bullets of word processors' lists show when they are drawn from a symbol font.
QChar symbolFontCharacter(const QString &fontName, unsigned char byte)
{
    if (fontName.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive)) {
        switch (byte) {
        case 0x6C:
            return QChar(0x25CF); // black circle
        case 0x6E:
            return QChar(0x25A0); // black square
        case 0x71:
            return QChar(0x274F); // shadowed square
        case 0x76:
            return QChar(0x2756); // diamond
        case 0xA7:
            return QChar(0x25AA); // small square
        case 0xD8:
            return QChar(0x27A2); // arrowhead
        case 0xFC:
            return QChar(0x2714); // check mark
        default:
            break;
        }
    }
    if (byte == 0xB7)
        return QChar(0x2022); // the Symbol font's bullet
    return QChar(byte);
}

QTextListFormat::Style listStyle(int numberFormat)
{
    switch (numberFormat) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 23:
        return QTextListFormat::ListDisc;
    default:
        return QTextListFormat::ListDecimal;
    }
}

// Words naming a destination whose text is not part of the document.
bool isSkippedDestination(const QByteArray &word)
{
    static const QList<QByteArray> words = {
        "stylesheet",   "info",      "pict",      "object",     "objdata",
        "header",       "headerl",   "headerr",   "headerf",    "footer",
        "footerl",      "footerr",   "footerf",   "footnote",   "annotation",
        "atnid",        "atnauthor", "fldinst",   "xe",         "tc",
        "txe",          "rxe",       "pn",        "pnseclvl",   "revtbl",
        "rsidtbl",      "filetbl",   "template",  "nonshppict", "shp",
        "shpinst",      "do",        "datafield", "themedata",  "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl",  "mmathPr",    "generator",
        "userprops",    "pgdsctbl",  "ftnsep",    "ftnsepc",    "aftnsep",
        "aftnsepc",     "private",   "comment",   "keywords",   "title",
        "subject",      "author",    "operator",  "doccomm",    "company",
        "bkmkstart",    "bkmkend",   "fchars",    "lchars",     "listpicture",
        "background",   "docvar",    "pntxta",    "pntxtb",
    };
    return words.contains(word);
}

} // namespace

RtfReader::RtfReader(QTextDocument &document) : m_document(document), m_cursor(&document)
{
    m_stack.emplace_back();
}

Failure RtfReader::readFile(const QString &path, QTextDocument &document)
{
    document.clear();
    QFile file(path);
    if (!file.exists())
        return QStringLiteral("%1 does not exist.").arg(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    if (file.size() > kMaxFileBytes)
        return QStringLiteral("%1 is too large (%2 bytes) to be a manual.")
            .arg(path)
            .arg(file.size());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    if (const Failure failure = read(bytes, document))
        return QStringLiteral("%1 %2").arg(path, *failure);
    return std::nullopt;
}

Failure RtfReader::read(const QByteArray &bytes, QTextDocument &document)
{
    document.clear();
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes.at(start))))
        ++start;
    if (start >= bytes.size())
        return QStringLiteral("is empty.");
    if (bytes.mid(start, 5) != "{\\rtf")
        return QStringLiteral("is not a rich text (RTF) file: it does not begin with {\\rtf.");
    RtfReader reader(document);
    reader.run(bytes.mid(start));
    return std::nullopt;
}

void RtfReader::run(const QByteArray &bytes)
{
    m_document.setUndoRedoEnabled(false);
    m_cursor.beginEditBlock();
    RtfTokenizer tokenizer(bytes);
    for (RtfToken token = tokenizer.next(); token.kind != RtfToken::Kind::End;
         token = tokenizer.next()) {
        // The plain-text stand-in after a \uN character is passed over.
        if (m_skipCount > 0) {
            if (token.kind == RtfToken::Kind::Text) {
                const int skipped = int(std::min<qsizetype>(m_skipCount, token.text.size()));
                m_skipCount -= skipped;
                token.text.remove(0, skipped);
                if (token.text.isEmpty())
                    continue;
            } else if (token.kind == RtfToken::Kind::GroupStart ||
                       token.kind == RtfToken::Kind::GroupEnd) {
                m_skipCount = 0;
            } else if (!(token.kind == RtfToken::Kind::ControlWord && token.text == "u")) {
                --m_skipCount;
                continue;
            } else {
                m_skipCount = 0;
            }
        }
        switch (token.kind) {
        case RtfToken::Kind::GroupStart:
            groupStart();
            break;
        case RtfToken::Kind::GroupEnd:
            groupEnd();
            break;
        case RtfToken::Kind::ControlWord:
            controlWord(token, tokenizer);
            break;
        case RtfToken::Kind::ControlSymbol:
            controlSymbol(token.byte);
            break;
        case RtfToken::Kind::HexByte:
            textBytes(QByteArray(1, char(token.byte)));
            break;
        case RtfToken::Kind::Text:
            textBytes(token.text);
            break;
        case RtfToken::Kind::End:
            break;
        }
        if (token.kind != RtfToken::Kind::ControlSymbol || token.byte != '*')
            m_nextIsIgnorable = false;
    }
    flushSurrogate();
    // The last paragraph takes its format like every other; a file ending in \par leaves no
    // empty paragraph behind.
    if (m_paragraphHasContent || m_cursor.block().length() > 1)
        endParagraph();
    if (m_cursor.block().length() <= 1 && m_cursor.block().previous().isValid()) {
        m_cursor.deletePreviousChar();
    }
    m_cursor.endEditBlock();
}

RtfReader::CharacterState RtfReader::defaultCharacters() const
{
    CharacterState characters;
    characters.font = m_defaultFont;
    return characters;
}

void RtfReader::groupStart()
{
    if (int(m_stack.size()) >= kMaxGroupDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void RtfReader::groupEnd()
{
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return; // a stray closing brace: the text after it is still read
    if (m_listTextDepth == m_stack.size()) {
        m_listTextDepth = 0;
        // Some writers leave the number out of the list text: the list then numbers itself.
        QTextCursor listText = m_cursor;
        listText.setPosition(std::min(m_listTextStart, m_cursor.position()),
                             QTextCursor::KeepAnchor);
        if (listText.selectedText().trimmed().isEmpty()) {
            listText.removeSelectedText();
            m_paragraphHasListText = false;
        }
    }
    if (state().destination == Destination::FontTable && !m_fontName.trimmed().isEmpty()) {
        m_fonts[m_fontEntry].name = m_fontName.trimmed();
        m_fontName.clear();
    }
    m_stack.pop_back();
    m_formatDirty = true;
}

void RtfReader::controlWord(const RtfToken &token, RtfTokenizer &tokenizer)
{
    const QByteArray &word = token.text;
    const bool has = token.hasParameter;
    const int value = token.parameter;
    const bool ignorable = m_nextIsIgnorable;
    m_nextIsIgnorable = false;

    if (word == "bin") {
        tokenizer.skipBytes(has ? value : 0);
        return;
    }
    if (destinationWord(word))
        return;
    if (ignorable) {
        // An optional destination this reader does not know: its text is not shown.
        state().destination = Destination::Skip;
        return;
    }

    switch (state().destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        if (word == "f") {
            m_fontEntry = value;
            m_fontName.clear();
        } else if (word == "fcharset") {
            m_fonts[m_fontEntry].charset = value;
        } else if (word == "froman") {
            m_fonts[m_fontEntry].hint = QFont::Serif;
        } else if (word == "fswiss") {
            m_fonts[m_fontEntry].hint = QFont::SansSerif;
        } else if (word == "fmodern") {
            m_fonts[m_fontEntry].hint = QFont::TypeWriter;
        } else if (word == "fscript") {
            m_fonts[m_fontEntry].hint = QFont::Cursive;
        } else if (word == "fdecor") {
            m_fonts[m_fontEntry].hint = QFont::Decorative;
        }
        return;
    case Destination::ColorTable:
        if (word == "red" || word == "green" || word == "blue") {
            const int component = std::clamp(value, 0, 255);
            (word == "red" ? m_red : word == "green" ? m_green : m_blue) = component;
            m_colourGiven = true;
        }
        return;
    case Destination::ListTable:
        if (word == "list") {
            m_currentListLevels.clear();
        } else if (word == "listlevel") {
            m_currentListLevels.append(0);
        } else if ((word == "levelnfc" || word == "levelnfcn") && !m_currentListLevels.isEmpty()) {
            m_currentListLevels.last() = value;
        } else if (word == "listid") {
            m_listLevelFormats.insert(value, m_currentListLevels);
        }
        return;
    case Destination::ListOverrideTable:
        if (word == "listid")
            m_overrideListId = value;
        else if (word == "ls")
            m_overrideToList.insert(value, m_overrideListId);
        return;
    case Destination::Body:
        break;
    }

    if (word == "ansi") {
        m_codePage = 1252;
    } else if (word == "ansicpg") {
        m_codePage = value;
    } else if (word == "deff") {
        m_defaultFont = value;
        state().characters.font = value;
        m_formatDirty = true;
    } else if (word == "uc") {
        state().unicodeSkip = std::clamp(value, 0, kMaxUnicodeSkip);
    } else if (word == "u") {
        if (has)
            unicodeCharacter(value);
    } else if (word == "par") {
        endParagraph();
    } else if (word == "line") {
        append(QString(QChar::LineSeparator));
    } else if (word == "tab") {
        append(QStringLiteral("\t"));
    } else if (word == "page" || word == "sect") {
        breakParagraph();
    } else if (word == "emdash") {
        append(QString(QChar(0x2014)));
    } else if (word == "endash") {
        append(QString(QChar(0x2013)));
    } else if (word == "bullet") {
        append(QString(QChar(0x2022)));
    } else if (word == "lquote") {
        append(QString(QChar(0x2018)));
    } else if (word == "rquote") {
        append(QString(QChar(0x2019)));
    } else if (word == "ldblquote") {
        append(QString(QChar(0x201C)));
    } else if (word == "rdblquote") {
        append(QString(QChar(0x201D)));
    } else if (word == "emspace") {
        append(QString(QChar(0x2003)));
    } else if (word == "enspace") {
        append(QString(QChar(0x2002)));
    } else if (word == "qmspace") {
        append(QString(QChar(0x2005)));
    } else if (!characterWord(word, has, value) && !paragraphWord(word, has, value)) {
        tableWord(word);
    }
}

bool RtfReader::destinationWord(const QByteArray &word)
{
    Destination destination;
    if (word == "fonttbl")
        destination = Destination::FontTable;
    else if (word == "colortbl")
        destination = Destination::ColorTable;
    else if (word == "listtable")
        destination = Destination::ListTable;
    else if (word == "listoverridetable")
        destination = Destination::ListOverrideTable;
    else if (isSkippedDestination(word))
        destination = Destination::Skip;
    else if ((word == "listtext" || word == "pntext") && state().destination == Destination::Body) {
        // The bullet or number as the writer drew it, shown as it stands.
        m_paragraphHasListText = true;
        m_listTextDepth = m_stack.size();
        m_listTextStart = m_cursor.position();
        return true;
    } else if (word == "fldrslt") {
        // What a field shows is ordinary text, even when marked as optional.
        return state().destination == Destination::Body;
    } else
        return false;
    if (state().destination != Destination::Skip)
        state().destination = destination;
    return true;
}

bool RtfReader::characterWord(const QByteArray &word, bool hasParameter, int parameter)
{
    CharacterState &c = state().characters;
    const bool on = !hasParameter || parameter != 0;
    if (word == "plain")
        c = defaultCharacters();
    else if (word == "b")
        c.bold = on;
    else if (word == "i")
        c.italic = on;
    else if (word == "ulnone" || (word == "ul" && !on))
        c.underline = false;
    else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
             word == "ulth" || word == "ulwave" || word == "uldashd" || word == "uldashdd")
        c.underline = on;
    else if (word == "strike")
        c.strikeOut = on;
    else if (word == "v")
        c.hidden = on;
    else if (word == "super")
        c.vertical = 1;
    else if (word == "sub")
        c.vertical = -1;
    else if (word == "nosupersub")
        c.vertical = 0;
    else if (word == "f")
        c.font = parameter;
    else if (word == "fs")
        c.halfPoints = parameter > 0 ? std::min(parameter, kMaxHalfPoints) : 24;
    else if (word == "cf")
        c.colour = parameter;
    else if (word == "highlight" || word == "cb")
        c.background = parameter;
    else
        return false;
    m_formatDirty = true;
    return true;
}

bool RtfReader::paragraphWord(const QByteArray &word, bool hasParameter, int parameter)
{
    ParagraphState &p = state().paragraph;
    const int twips = clampTwips(hasParameter ? parameter : 0);
    if (word == "pard")
        p = ParagraphState();
    else if (word == "ql")
        p.alignment = Qt::AlignLeft;
    else if (word == "qc")
        p.alignment = Qt::AlignHCenter;
    else if (word == "qr")
        p.alignment = Qt::AlignRight;
    else if (word == "qj")
        p.alignment = Qt::AlignJustify;
    else if (word == "li")
        p.leftTwips = twips;
    else if (word == "ri")
        p.rightTwips = twips;
    else if (word == "fi")
        p.firstLineTwips = twips;
    else if (word == "sb")
        p.beforeTwips = std::max(0, twips);
    else if (word == "sa")
        p.afterTwips = std::max(0, twips);
    else if (word == "tx" && p.tabTwips.size() < kMaxTabStops)
        p.tabTwips.append(std::max(0, twips));
    else if (word == "ls")
        p.listOverride = parameter;
    else if (word == "ilvl")
        p.listLevel = std::clamp(parameter, 0, 8);
    else
        return false;
    return true;
}

void RtfReader::tableWord(const QByteArray &word)
{
    // Tables are shown as lines of text, their cells apart by a tab.
    if (word == "cell" || word == "nestcell") {
        m_cellSeparatorPending = true;
    } else if (word == "row" || word == "nestrow") {
        m_cellSeparatorPending = false;
        breakParagraph();
    }
}

void RtfReader::controlSymbol(unsigned char symbol)
{
    switch (symbol) {
    case '*':
        m_nextIsIgnorable = true;
        break;
    case '\\':
    case '{':
    case '}':
        textBytes(QByteArray(1, char(symbol)));
        break;
    case '~':
        append(QString(QChar(0x00A0)));
        break;
    case '-':
        append(QString(QChar(0x00AD)));
        break;
    case '_':
        append(QString(QChar(0x2011)));
        break;
    case '\t':
        append(QStringLiteral("\t"));
        break;
    default:
        break; // index entries, formulas and symbols this reader does not know
    }
}

void RtfReader::textBytes(const QByteArray &bytes)
{
    switch (state().destination) {
    case Destination::Body: {
        const FontEntry font = m_fonts.value(state().characters.font);
        const bool symbolFont = font.charset == kSymbolCharset ||
                                font.name.startsWith(QLatin1String("Symbol")) ||
                                font.name.startsWith(QLatin1String("Wingdings"));
        if (symbolFont) {
            QString text;
            for (const char c : bytes)
                text.append(symbolFontCharacter(font.name, uchar(c)));
            append(text);
        } else if (m_codePage == 28591) {
            append(QString::fromLatin1(bytes));
        } else {
            // Other single-byte code pages are read as Windows-1252, which agrees with most
            // of them on the letters a manual uses; writers spell the rest as \u.
            append(decodeCp1252(bytes));
        }
        return;
    }
    case Destination::FontTable: {
        const QString text = decodeCp1252(bytes);
        for (const QChar c : text) {
            if (c == QLatin1Char(';')) {
                m_fonts[m_fontEntry].name = m_fontName.trimmed();
                m_fontName.clear();
            } else {
                m_fontName.append(c);
            }
        }
        return;
    }
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            if (m_colours.size() < kMaxColours)
                m_colours.append(m_colourGiven ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colourGiven = false;
        }
        return;
    default:
        return;
    }
}

void RtfReader::unicodeCharacter(int parameter)
{
    m_skipCount = state().unicodeSkip;
    // Values are signed 16-bit numbers; characters above 32767 are written negative.
    long long code = parameter < 0 ? parameter + 65536LL : parameter;
    if (code < 0 || code > 0x10FFFF)
        code = 0xFFFD;
    // Control characters other than the tab are noise in a document.
    if (code < 0x20 && code != '\t')
        return;
    if (state().destination == Destination::Body)
        appendCodePoint(char32_t(code));
}

void RtfReader::appendCodePoint(char32_t code)
{
    if (QChar::isHighSurrogate(code)) {
        flushSurrogate();
        m_pendingHighSurrogate = char16_t(code);
        return;
    }
    if (QChar::isLowSurrogate(code)) {
        if (m_pendingHighSurrogate == 0) {
            append(QString(QChar(QChar::ReplacementCharacter)));
            return;
        }
        const QChar pair[2] = {QChar(m_pendingHighSurrogate), QChar(char16_t(code))};
        m_pendingHighSurrogate = 0;
        append(QString(pair, 2));
        return;
    }
    append(QString::fromUcs4(&code, 1));
}

void RtfReader::flushSurrogate()
{
    if (m_pendingHighSurrogate == 0)
        return;
    m_pendingHighSurrogate = 0;
    append(QString(QChar(QChar::ReplacementCharacter)));
}

void RtfReader::append(const QString &text)
{
    if (state().destination != Destination::Body || state().characters.hidden || text.isEmpty())
        return;
    if (m_pendingHighSurrogate != 0) {
        // A high surrogate not followed by its low half stands for a character lost.
        m_pendingHighSurrogate = 0;
        append(QString(QChar(QChar::ReplacementCharacter)));
    }
    if (m_cellSeparatorPending) {
        m_cellSeparatorPending = false;
        m_cursor.insertText(QStringLiteral("\t"), characterFormat());
    }
    m_cursor.insertText(text, characterFormat());
    m_paragraphHasContent = true;
}

void RtfReader::endParagraph()
{
    flushSurrogate();
    m_cellSeparatorPending = false;
    m_cursor.setBlockFormat(blockFormat());
    placeInList();
    m_cursor.insertBlock(QTextBlockFormat(), characterFormat());
    m_paragraphHasContent = false;
    m_paragraphHasListText = false;
}

void RtfReader::breakParagraph()
{
    if (m_paragraphHasContent)
        endParagraph();
}

void RtfReader::placeInList()
{
    const ParagraphState &p = state().paragraph;
    if (p.listOverride <= 0 || m_paragraphHasListText) {
        m_openList = nullptr;
        return;
    }
    // A list paragraph without its bullet or number spelled out: the document numbers it and
    // indents it by its level.
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setLeftMargin(0);
    block.setTextIndent(0);
    m_cursor.setBlockFormat(block);
    if (m_openList && m_openListOverride == p.listOverride && m_openListLevel == p.listLevel) {
        m_openList->add(m_cursor.block());
        return;
    }
    const QList<int> levels = m_listLevelFormats.value(m_overrideToList.value(p.listOverride));
    QTextListFormat format;
    format.setStyle(listStyle(p.listLevel < levels.size() ? levels.at(p.listLevel) : 23));
    format.setIndent(p.listLevel + 1);
    m_openList = m_cursor.createList(format);
    m_openListOverride = p.listOverride;
    m_openListLevel = p.listLevel;
}

QTextBlockFormat RtfReader::blockFormat() const
{
    const ParagraphState &p = m_stack.back().paragraph;
    QTextBlockFormat format;
    format.setAlignment(p.alignment);
    format.setLeftMargin(twipsToPixels(std::max(0, p.leftTwips)));
    format.setRightMargin(twipsToPixels(std::max(0, p.rightTwips)));
    format.setTextIndent(twipsToPixels(p.firstLineTwips));
    format.setTopMargin(twipsToPixels(p.beforeTwips));
    format.setBottomMargin(twipsToPixels(p.afterTwips));
    // RTF measures tab stops from the page's left edge, the document from where the first line
    // starts.
    const int lineStartTwips = std::max(0, p.leftTwips) + p.firstLineTwips;
    QList<QTextOption::Tab> tabs;
    for (const int twips : p.tabTwips) {
        if (twips > lineStartTwips)
            tabs.append(
                QTextOption::Tab(twipsToPixels(twips - lineStartTwips), QTextOption::LeftTab));
    }
    // A hanging first line (a bullet, a number, a term) reaches the text at the left indent.
    if (p.firstLineTwips < 0 && tabs.isEmpty())
        tabs.append(QTextOption::Tab(twipsToPixels(-p.firstLineTwips), QTextOption::LeftTab));
    format.setTabPositions(tabs);
    return format;
}

QTextCharFormat RtfReader::characterFormat()
{
    if (!m_formatDirty)
        return m_format;
    const CharacterState &c = state().characters;
    QTextCharFormat format;
    const FontEntry font = m_fonts.value(c.font);
    if (!font.name.isEmpty() && font.charset != kSymbolCharset &&
        !font.name.startsWith(QLatin1String("Symbol")) &&
        !font.name.startsWith(QLatin1String("Wingdings"))) {
        format.setFontFamilies(QStringList{font.name});
        format.setFontStyleHint(font.hint);
    }
    format.setFontPointSize(c.halfPoints / 2.0);
    format.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(c.italic);
    format.setFontUnderline(c.underline);
    format.setFontStrikeOut(c.strikeOut);
    if (c.vertical != 0)
        format.setVerticalAlignment(c.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                   : QTextCharFormat::AlignSubScript);
    if (c.colour > 0 && c.colour < m_colours.size() && m_colours.at(c.colour).isValid())
        format.setForeground(m_colours.at(c.colour));
    if (c.background > 0 && c.background < m_colours.size() && m_colours.at(c.background).isValid())
        format.setBackground(m_colours.at(c.background));
    m_format = format;
    m_formatDirty = false;
    return m_format;
}

} // namespace skelvin
