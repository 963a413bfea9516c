#include "RtfReader.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace Qt::StringLiterals;

TRtfError::TRtfError(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

namespace {

// Bounds for everything a document can make the reader allocate or compute.
constexpr int MaxTableEntries = 4096; // fonts, colours
constexpr int MaxFontNameBytes = 256;
constexpr int MaxWordLength = 32; // longer control words are cut (the rest is dropped)
constexpr qint64 MaxParam = 1000000000; // parameters are clamped to +-this
constexpr int MaxUnicodeSkip = 16; // \ucN
constexpr int MinHalfPoints = 2; // \fsN: 1 to 200 points
constexpr int MaxHalfPoints = 400;
constexpr int MaxTwips = 14400; // indents and spacing: at most ten inches

enum class Dest { Text, Skip, FontTable, ColorTable };

struct GroupState
{
    Dest dest = Dest::Text;
    // character properties
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int vertical = 0; // 1 superscript, -1 subscript
    int halfPoints = 0; // 0: the document's default size
    int color = 0; // colour-table index, 0 automatic
    int background = 0;
    int font = -1;
    int unicodeSkip = 1;
    // paragraph properties
    Qt::Alignment align = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
};

struct FontEntry
{
    QByteArray nameBytes;
    QString name;
    int charset = -1;
    int codePage = 0;
};

enum class Kw {
    // destinations
    FontTable,
    ColorTable,
    SkipDest,
    // special characters
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Page,
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote,
    EmSpace,
    EnSpace,
    QmSpace,
    Zwj,
    Zwnj,
    // character properties
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Super,
    Sub,
    NoSuperSub,
    Plain,
    FontSize,
    Font,
    Color,
    Background,
    // paragraph properties
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    // document and unicode
    Unicode,
    UnicodeSkip,
    AnsiCodePage,
    Ansi,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    // font and colour tables
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
};

const std::unordered_map<std::string_view, Kw> &keywords()
{
    static const std::unordered_map<std::string_view, Kw> table = [] {
        std::unordered_map<std::string_view, Kw> t {
            { "fonttbl", Kw::FontTable },
            { "colortbl", Kw::ColorTable },
            { "par", Kw::Par },
            { "line", Kw::Line },
            { "tab", Kw::Tab },
            { "cell", Kw::Cell },
            { "nestcell", Kw::Cell },
            { "row", Kw::Row },
            { "nestrow", Kw::Row },
            { "page", Kw::Page },
            { "sect", Kw::Page },
            { "emdash", Kw::EmDash },
            { "endash", Kw::EnDash },
            { "bullet", Kw::Bullet },
            { "lquote", Kw::LQuote },
            { "rquote", Kw::RQuote },
            { "ldblquote", Kw::LDblQuote },
            { "rdblquote", Kw::RDblQuote },
            { "emspace", Kw::EmSpace },
            { "enspace", Kw::EnSpace },
            { "qmspace", Kw::QmSpace },
            { "zwj", Kw::Zwj },
            { "zwnj", Kw::Zwnj },
            { "b", Kw::Bold },
            { "i", Kw::Italic },
            { "ul", Kw::Underline },
            { "uld", Kw::Underline },
            { "uldb", Kw::Underline },
            { "ulw", Kw::Underline },
            { "ulwave", Kw::Underline },
            { "uldash", Kw::Underline },
            { "ulth", Kw::Underline },
            { "ulnone", Kw::UnderlineNone },
            { "strike", Kw::Strike },
            { "striked", Kw::Strike },
            { "v", Kw::Hidden },
            { "super", Kw::Super },
            { "sub", Kw::Sub },
            { "nosupersub", Kw::NoSuperSub },
            { "plain", Kw::Plain },
            { "fs", Kw::FontSize },
            { "f", Kw::Font },
            { "cf", Kw::Color },
            { "cb", Kw::Background },
            { "highlight", Kw::Background },
            { "pard", Kw::Pard },
            { "ql", Kw::AlignLeft },
            { "qc", Kw::AlignCenter },
            { "qr", Kw::AlignRight },
            { "qj", Kw::AlignJustify },
            { "li", Kw::LeftIndent },
            { "ri", Kw::RightIndent },
            { "fi", Kw::FirstIndent },
            { "sb", Kw::SpaceBefore },
            { "sa", Kw::SpaceAfter },
            { "u", Kw::Unicode },
            { "uc", Kw::UnicodeSkip },
            { "ansicpg", Kw::AnsiCodePage },
            { "ansi", Kw::Ansi },
            { "mac", Kw::Mac },
            { "pc", Kw::Pc },
            { "pca", Kw::Pca },
            { "deff", Kw::DefaultFont },
            { "fcharset", Kw::FontCharset },
            { "cpg", Kw::FontCodePage },
            { "red", Kw::Red },
            { "green", Kw::Green },
            { "blue", Kw::Blue },
        };
        // Destinations whose content a viewer does not show.
        for (std::string_view word :
            { "stylesheet", "info", "pict", "object", "objdata", "header", "headerl", "headerr",
                "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "fldinst",
                "filetbl", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
                "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
                "nonshppict", "shp", "shpinst", "sp", "tc", "xe", "txe", "atnid", "atnauthor",
                "annotation", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "pgdsctbl", "protusertbl",
                "mmathPr", "bkmkstart", "bkmkend", "template", "userprops", "docvar", "fchars",
                "lchars", "pn", "pnseclvl", "pntxta", "pntxtb" })
            t.emplace(word, Kw::SkipDest);
        return t;
    }();
    return table;
}

// Code page of a font charset (\fcharsetN); 0 for charsets that leave it to the document's
// code page (\ansicpgN), -1 for symbol fonts.
int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return -1; // symbol fonts: bytes are glyph numbers, shown as Latin-1
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

QByteArray decoderName(int codePage)
{
    switch (codePage) {
    case 936:
        return "GBK";
    case 54936:
        return "GB18030";
    case 950:
        return "Big5";
    case 932:
        return "Shift_JIS";
    case 949:
        return "windows-949";
    case 1361:
        return "johab";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        if ((codePage >= 1250 && codePage <= 1258) || codePage == 874)
            return "windows-" + QByteArray::number(codePage);
        return "windows-1252";
    }
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

qsizetype rtfStart(QByteArrayView data)
{
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size()
        && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf") ? i : -1;
}

class Parser
{
public:
    Parser(QByteArrayView data, QTextDocument &doc)
        : FPos(data.data())
        , FEnd(data.data() + data.size())
        , FCursor(&doc)
    { }

    void run()
    {
        while (FPos < FEnd && !FFinished) {
            const char c = *FPos++;
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                textByte(static_cast<unsigned char>(c));
                break;
            }
        }
        flushPending();
        dropTrailingEmptyBlock();
    }

private:
    // ---- groups ----
    void openGroup()
    {
        FSkip = 0;
        if (FOverflow > 0 || FStack.size() >= size_t(TRtfReader::MaxDepth)) {
            ++FOverflow;
            return;
        }
        FStack.push_back(FState);
    }

    void closeGroup()
    {
        FSkip = 0;
        if (FOverflow > 0) {
            --FOverflow;
            return;
        }
        if (FState.dest == Dest::FontTable)
            commitFontName();
        flushPending();
        if (FStack.empty()) { // a stray brace after the document: the document has ended
            FFinished = true;
            return;
        }
        FState = FStack.back();
        FStack.pop_back();
        if (FStack.empty())
            FFinished = true; // the outermost group has closed
    }

    // ---- control words and symbols ----
    void control()
    {
        if (FPos >= FEnd)
            return;
        if (!isLetter(*FPos)) {
            symbol(*FPos++);
            return;
        }
        const char *start = FPos;
        while (FPos < FEnd && isLetter(*FPos) && FPos - start < MaxWordLength)
            ++FPos;
        const std::string_view word(start, size_t(FPos - start));
        while (FPos < FEnd && isLetter(*FPos))
            ++FPos;
        bool negative = false;
        if (FPos + 1 < FEnd && *FPos == '-' && isDigit(FPos[1])) {
            negative = true;
            ++FPos;
        }
        bool hasParam = false;
        qint64 value = 0;
        while (FPos < FEnd && isDigit(*FPos)) {
            hasParam = true;
            value = std::min<qint64>(value * 10 + (*FPos - '0'), MaxParam);
            ++FPos;
        }
        if (FPos < FEnd && *FPos == ' ')
            ++FPos;
        const int param = int(negative ? -value : value);

        if (word == "bin") { // binary data: skipped wherever it appears, never past the end
            FPos += std::clamp<qint64>(param, 0, FEnd - FPos);
            countSkipped();
            return;
        }
        if (FOverflow > 0)
            return;
        const auto &table = keywords();
        const auto found = table.find(word);
        if (found == table.end()) {
            countSkipped();
            return;
        }
        keyword(found->second, hasParam, param);
    }

    // True when the token is eaten as part of a \u fallback.
    bool countSkipped()
    {
        if (FSkip > 0 && FState.dest == Dest::Text) {
            --FSkip;
            return true;
        }
        return false;
    }

    void symbol(char c)
    {
        if (c == '\'') {
            int byte = 0;
            int digits = 0;
            while (digits < 2 && FPos < FEnd && hexValue(*FPos) >= 0) {
                byte = byte * 16 + hexValue(*FPos++);
                ++digits;
            }
            if (FOverflow > 0 || digits < 2) {
                countSkipped();
                return;
            }
            textByte(static_cast<unsigned char>(byte), true);
            return;
        }
        if (FOverflow > 0)
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            textByte(static_cast<unsigned char>(c), true);
            return;
        case '*':
            FState.dest = Dest::Skip;
            return;
        default:
            break;
        }
        if (countSkipped() || FState.dest != Dest::Text)
            return;
        switch (c) {
        case '~':
            putChar(QChar(0x00A0));
            break;
        case '_':
            putChar(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            newParagraph();
            break;
        default:
            break; // \- optional hyphen, \| \: and unknown symbols
        }
    }

    void keyword(Kw kw, bool hasParam, int param)
    {
        // Destinations and document-wide settings are honoured in any text group.
        if (FState.dest == Dest::Skip)
            return;
        const bool on = !hasParam || param != 0;
        switch (FState.dest) {
        case Dest::FontTable:
            switch (kw) {
            case Kw::Font:
                commitFontName();
                if (hasParam && (FFonts.count(param) || FFonts.size() < size_t(MaxTableEntries)))
                    FFontEntry = &FFonts[param];
                else
                    FFontEntry = nullptr;
                break;
            case Kw::FontCharset:
                if (FFontEntry)
                    FFontEntry->charset = param;
                break;
            case Kw::FontCodePage:
                if (FFontEntry)
                    FFontEntry->codePage = param;
                break;
            case Kw::SkipDest:
                FState.dest = Dest::Skip;
                break;
            default:
                break;
            }
            return;
        case Dest::ColorTable:
            switch (kw) {
            case Kw::Red:
                FRed = std::clamp(param, 0, 255);
                break;
            case Kw::Green:
                FGreen = std::clamp(param, 0, 255);
                break;
            case Kw::Blue:
                FBlue = std::clamp(param, 0, 255);
                break;
            default:
                break;
            }
            return;
        case Dest::Skip:
            return;
        case Dest::Text:
            break;
        }

        if (countSkipped())
            return;
        switch (kw) {
        case Kw::FontTable:
            flushPending();
            FState.dest = Dest::FontTable;
            FFontEntry = nullptr;
            break;
        case Kw::ColorTable:
            flushPending();
            FState.dest = Dest::ColorTable;
            FRed = FGreen = FBlue = -1;
            break;
        case Kw::SkipDest:
            flushPending();
            FState.dest = Dest::Skip;
            break;
        case Kw::Par:
        case Kw::Row:
        case Kw::Page:
            newParagraph();
            break;
        case Kw::Line:
            putChar(QChar(QChar::LineSeparator));
            break;
        case Kw::Tab:
        case Kw::Cell:
            putChar(u'\t');
            break;
        case Kw::EmDash:
            putChar(QChar(0x2014));
            break;
        case Kw::EnDash:
            putChar(QChar(0x2013));
            break;
        case Kw::Bullet:
            putChar(QChar(0x2022));
            break;
        case Kw::LQuote:
            putChar(QChar(0x2018));
            break;
        case Kw::RQuote:
            putChar(QChar(0x2019));
            break;
        case Kw::LDblQuote:
            putChar(QChar(0x201C));
            break;
        case Kw::RDblQuote:
            putChar(QChar(0x201D));
            break;
        case Kw::EmSpace:
            putChar(QChar(0x2003));
            break;
        case Kw::EnSpace:
            putChar(QChar(0x2002));
            break;
        case Kw::QmSpace:
            putChar(QChar(0x2005));
            break;
        case Kw::Zwj:
            putChar(QChar(0x200D));
            break;
        case Kw::Zwnj:
            putChar(QChar(0x200C));
            break;
        case Kw::Unicode:
            unicode(param);
            break;
        case Kw::UnicodeSkip:
            FState.unicodeSkip = std::clamp(param, 0, MaxUnicodeSkip);
            break;
        case Kw::AnsiCodePage:
            flushPending();
            FAnsiCodePage = param;
            break;
        case Kw::Ansi:
            flushPending();
            FAnsiCodePage = 1252;
            break;
        case Kw::Mac:
            flushPending();
            FAnsiCodePage = 10000;
            break;
        case Kw::Pc:
            flushPending();
            FAnsiCodePage = 437;
            break;
        case Kw::Pca:
            flushPending();
            FAnsiCodePage = 850;
            break;
        case Kw::DefaultFont:
            flushPending();
            FDefaultFont = param;
            if (FState.font < 0)
                FState.font = param;
            break;
        default:
            flushPending();
            property(kw, on, param);
            break;
        }
    }

    void property(Kw kw, bool on, int param)
    {
        GroupState &s = FState;
        switch (kw) {
        case Kw::Bold:
            s.bold = on;
            break;
        case Kw::Italic:
            s.italic = on;
            break;
        case Kw::Underline:
            s.underline = on;
            break;
        case Kw::UnderlineNone:
            s.underline = false;
            break;
        case Kw::Strike:
            s.strike = on;
            break;
        case Kw::Hidden:
            s.hidden = on;
            break;
        case Kw::Super:
            s.vertical = 1;
            break;
        case Kw::Sub:
            s.vertical = -1;
            break;
        case Kw::NoSuperSub:
            s.vertical = 0;
            break;
        case Kw::Plain:
            s.bold = s.italic = s.underline = s.strike = s.hidden = false;
            s.vertical = 0;
            s.halfPoints = 0;
            s.color = s.background = 0;
            s.font = FDefaultFont;
            break;
        case Kw::FontSize:
            s.halfPoints = param <= 0 ? 0 : std::clamp(param, MinHalfPoints, MaxHalfPoints);
            break;
        case Kw::Font:
            s.font = param;
            break;
        case Kw::Color:
            s.color = param;
            break;
        case Kw::Background:
            s.background = param;
            break;
        case Kw::Pard:
            s.align = Qt::AlignLeft;
            s.leftIndent = s.rightIndent = s.firstIndent = s.spaceBefore = s.spaceAfter = 0;
            break;
        case Kw::AlignLeft:
            s.align = Qt::AlignLeft;
            break;
        case Kw::AlignCenter:
            s.align = Qt::AlignHCenter;
            break;
        case Kw::AlignRight:
            s.align = Qt::AlignRight;
            break;
        case Kw::AlignJustify:
            s.align = Qt::AlignJustify;
            break;
        case Kw::LeftIndent:
            s.leftIndent = std::clamp(param, 0, MaxTwips);
            break;
        case Kw::RightIndent:
            s.rightIndent = std::clamp(param, 0, MaxTwips);
            break;
        case Kw::FirstIndent:
            s.firstIndent = std::clamp(param, -MaxTwips, MaxTwips);
            break;
        case Kw::SpaceBefore:
            s.spaceBefore = std::clamp(param, 0, MaxTwips);
            break;
        case Kw::SpaceAfter:
            s.spaceAfter = std::clamp(param, 0, MaxTwips);
            break;
        default:
            break;
        }
    }

    void unicode(int value)
    {
        if (value < 0)
            value += 65536;
        if (value > 0 && value <= 0xFFFF) {
            putChar(QChar(char16_t(value)));
        } else if (value > 0xFFFF && value <= 0x10FFFF) {
            const char32_t cp = char32_t(value);
            putChar(QChar(QChar::highSurrogate(cp)));
            putChar(QChar(QChar::lowSurrogate(cp)));
        } else if (value != 0) {
            putChar(QChar(QChar::ReplacementCharacter));
        }
        FSkip = FState.unicodeSkip; // the fallback characters that follow
    }

    // ---- text ----
    void textByte(unsigned char byte, bool escaped = false)
    {
        if (FOverflow > 0)
            return;
        switch (FState.dest) {
        case Dest::Skip:
            return;
        case Dest::FontTable:
            if (byte == ';')
                commitFontName();
            else if (FFontEntry && FFontEntry->nameBytes.size() < MaxFontNameBytes)
                FFontEntry->nameBytes.append(char(byte));
            return;
        case Dest::ColorTable:
            if (byte == ';') {
                if (FColors.size() < size_t(MaxTableEntries))
                    FColors.push_back(FRed < 0 && FGreen < 0 && FBlue < 0
                            ? QColor()
                            : QColor(std::max(FRed, 0), std::max(FGreen, 0), std::max(FBlue, 0)));
                FRed = FGreen = FBlue = -1;
            }
            return;
        case Dest::Text:
            break;
        }
        if (countSkipped() || FState.hidden)
            return;
        if (byte == '\t') {
            putChar(u'\t');
            return;
        }
        if (byte < 0x20 && !escaped)
            return; // stray control characters in the file
        FBytes.append(char(byte));
    }

    void putChar(QChar c)
    {
        if (FState.hidden)
            return;
        decodeBytes();
        FText.append(c);
    }

    void newParagraph()
    {
        flushPending();
        applyBlockFormat();
        FCursor.insertBlock();
    }

    int codePage() const
    {
        if (FState.font >= 0) {
            const auto it = FFonts.find(FState.font);
            if (it != FFonts.end()) {
                if (it->second.codePage > 0)
                    return it->second.codePage;
                if (const int cp = codePageOfCharset(it->second.charset))
                    return cp;
            }
        }
        return FAnsiCodePage;
    }

    QString decode(const QByteArray &bytes, int cp)
    {
        if (cp < 0)
            return QString::fromLatin1(bytes);
        // Cached by name: any number of code pages maps onto a handful of decoders.
        const QByteArray name = decoderName(cp);
        auto &decoder = FDecoders[name];
        if (!decoder) {
            decoder = std::make_unique<QStringDecoder>(
                name.constData(), QStringConverter::Flag::Stateless);
            if (!decoder->isValid())
                decoder = std::make_unique<QStringDecoder>(
                    QStringConverter::Latin1, QStringConverter::Flag::Stateless);
        }
        return decoder->decode(bytes);
    }

    void decodeBytes()
    {
        if (FBytes.isEmpty())
            return;
        FText += decode(FBytes, codePage());
        FBytes.clear();
    }

    // Characters QTextDocument must not receive from outside: controls, its own frame and
    // object markers, paragraph separators (paragraphs are made by the reader) and lone
    // surrogates.
    static QString sanitized(const QString &text)
    {
        QString out;
        out.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const char16_t u = c.unicode();
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out.append(c);
                out.append(text[++i]);
            } else if (c.isSurrogate() || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1) {
                out.append(QChar(QChar::ReplacementCharacter));
            } else if (u == 0x2029) {
                out.append(QChar(QChar::LineSeparator));
            } else if (u >= 0x20 || u == '\t') {
                out.append(c);
            }
        }
        return out;
    }

    void flushPending()
    {
        decodeBytes();
        if (FText.isEmpty())
            return;
        applyBlockFormat();
        FCursor.insertText(sanitized(FText), charFormat());
        FText.clear();
    }

    QTextCharFormat charFormat() const
    {
        QTextCharFormat f;
        f.setFontWeight(FState.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(FState.italic);
        f.setFontUnderline(FState.underline);
        f.setFontStrikeOut(FState.strike);
        if (FState.vertical != 0)
            f.setVerticalAlignment(FState.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
        if (FState.halfPoints > 0)
            f.setFontPointSize(FState.halfPoints / 2.0);
        if (const QColor c = color(FState.color); c.isValid())
            f.setForeground(c);
        if (const QColor c = color(FState.background); c.isValid())
            f.setBackground(c);
        if (FState.font >= 0) {
            const auto it = FFonts.find(FState.font);
            if (it != FFonts.end() && !it->second.name.isEmpty())
                f.setFontFamilies(QStringList { it->second.name });
        }
        return f;
    }

    QColor color(int index) const
    {
        if (index <= 0 || size_t(index) >= FColors.size())
            return QColor();
        return FColors[size_t(index)];
    }

    void applyBlockFormat()
    {
        // Twips to pixels at 96 dots per inch.
        QTextBlockFormat f;
        f.setAlignment(FState.align);
        f.setLeftMargin(FState.leftIndent / 15.0);
        f.setRightMargin(FState.rightIndent / 15.0);
        f.setTextIndent(FState.firstIndent / 15.0);
        f.setTopMargin(FState.spaceBefore / 15.0);
        f.setBottomMargin(FState.spaceAfter / 15.0);
        FCursor.setBlockFormat(f);
    }

    void commitFontName()
    {
        if (!FFontEntry || FFontEntry->nameBytes.isEmpty())
            return;
        int cp = FFontEntry->codePage > 0 ? FFontEntry->codePage
                                          : codePageOfCharset(FFontEntry->charset);
        if (cp == 0)
            cp = FAnsiCodePage;
        const QString name = sanitized(decode(FFontEntry->nameBytes, cp)).trimmed();
        if (!name.isEmpty())
            FFontEntry->name = name;
        FFontEntry->nameBytes.clear();
    }

    void dropTrailingEmptyBlock()
    {
        // Writers end the last paragraph with \par; that would show as an extra empty line.
        QTextDocument *doc = FCursor.document();
        if (doc->blockCount() > 1 && doc->lastBlock().length() <= 1) {
            FCursor.movePosition(QTextCursor::End);
            FCursor.deletePreviousChar();
        }
    }

    const char *FPos;
    const char *FEnd;
    QTextCursor FCursor;
    GroupState FState;
    std::vector<GroupState> FStack;
    int FOverflow = 0; // groups opened beyond MaxDepth and not yet closed
    int FSkip = 0; // \u fallback characters still to skip
    bool FFinished = false;
    int FAnsiCodePage = 1252;
    int FDefaultFont = -1;
    std::map<int, FontEntry> FFonts;
    FontEntry *FFontEntry = nullptr; // the font-table entry being read
    std::vector<QColor> FColors;
    int FRed = -1;
    int FGreen = -1;
    int FBlue = -1;
    QByteArray FBytes; // text bytes not yet decoded, all in the current code page
    QString FText; // decoded text not yet inserted, all in the current format
    std::map<QByteArray, std::unique_ptr<QStringDecoder>> FDecoders;
};

} // namespace

void TRtfReader::read(QByteArrayView rtf, QTextDocument &doc)
{
    const qsizetype start = rtfStart(rtf);
    if (start < 0)
        throw TRtfError(tr("内容不是 RTF 格式"));
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    Parser(rtf.sliced(start), doc).run();
    doc.setUndoRedoEnabled(undo);
}

void TRtfReader::readFile(const QString &path, QTextDocument &doc)
{
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TRtfError(tr("无法打开文件“%1”：%2").arg(name, file.errorString()));
    if (file.size() > MaxFileSize)
        throw TRtfError(tr("文件“%1”太大").arg(name));
    const QByteArray data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw TRtfError(tr("无法读取文件“%1”：%2").arg(name, file.errorString()));
    if (data.size() > MaxFileSize)
        throw TRtfError(tr("文件“%1”太大").arg(name));
    if (rtfStart(data) < 0)
        throw TRtfError(tr("文件“%1”不是 RTF 格式").arg(name));
    read(data, doc);
}
