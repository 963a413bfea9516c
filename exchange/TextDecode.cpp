#include "TextDecode.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <uchardet.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TextDecode)
};

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder d(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString s = d.decode(bytes);
    (void)s;
    return !d.hasError();
}

// Decodes strictly: any byte sequence the encoding does not define fails.
bool decodeStrict(const QByteArray &bytes, const char *encoding, QString &out)
{
    QStringDecoder d(encoding, QStringConverter::Flag::Stateless);
    if (!d.isValid())
        return false;
    out = d.decode(bytes);
    return !d.hasError() && !out.contains(QChar::ReplacementCharacter);
}

// What uchardet makes of the bytes, upper case; empty when it cannot tell.
QByteArray detectedCharset(const QByteArray &bytes)
{
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> det(
        uchardet_new(), uchardet_delete);
    if (!det)
        return {};
    if (uchardet_handle_data(det.get(), bytes.constData(), size_t(bytes.size())) != 0)
        return {};
    uchardet_data_end(det.get());
    const char *name = uchardet_get_charset(det.get());
    return name ? QByteArray(name).toUpper() : QByteArray();
}

// The decoder for a charset uchardet names, when it is one this program reads; empty otherwise.
const char *acceptedCharset(const QByteArray &name)
{
    if (name == "GB18030" || name == "GBK" || name == "GB2312" || name == "HZ-GB-2312"
        || name == "EUC-CN")
        return "GB18030";
    if (name == "BIG5" || name == "BIG5-HKSCS" || name == "EUC-TW")
        return "Big5";
    if (name == "WINDOWS-1252" || name == "ISO-8859-1" || name == "ISO-8859-15")
        return "windows-1252";
    return nullptr;
}

bool isCjk(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF)
        || (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF);
}

// Text decoded as GB18030 that is mostly Chinese characters where it is not ASCII: what a file
// saved by a Chinese spreadsheet program looks like, and unlike bytes of another encoding that
// happen to form valid GB18030 sequences.
bool plausibleChinese(const QString &text)
{
    qsizetype cjk = 0, other = 0;
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            continue;
        if (isCjk(c))
            ++cjk;
        else
            ++other;
    }
    return cjk > 0 && other * 10 <= cjk;
}

TDecodedText ok(QString text, const QString &encoding)
{
    if (!text.isEmpty() && text.front() == QChar::ByteOrderMark)
        text.remove(0, 1);
    return { true, std::move(text), encoding, {} };
}

} // namespace

bool LooksBinary(const QByteArray &Bytes)
{
    qsizetype controls = 0;
    for (const char ch : Bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0)
            return true;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A)
            ++controls;
    }
    return controls > 8 && controls * 100 > Bytes.size();
}

TDecodedText DecodeText(const QByteArray &Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF")) {
        QString text;
        if (decodeStrict(Bytes.mid(3), "UTF-8", text))
            return ok(text, u"UTF-8"_s);
        return { false, {}, {},
            Tr::tr("文件开头标明是UTF-8编码，但其中有不是UTF-8的字节：文件可能已损坏。") };
    }
    if (Bytes.startsWith("\xFF\xFE") || Bytes.startsWith("\xFE\xFF")) {
        const bool le = Bytes.startsWith("\xFF\xFE");
        QString text;
        if (decodeStrict(Bytes.mid(2), le ? "UTF-16LE" : "UTF-16BE", text)
            && !LooksBinary(text.toUtf8()))
            return ok(text, le ? u"UTF-16LE"_s : u"UTF-16BE"_s);
        return { false, {}, {},
            Tr::tr("文件开头标明是UTF-16编码，但内容不是有效的UTF-16文字：文件可能已损坏。") };
    }
    if (LooksBinary(Bytes))
        return { false, {}, {},
            Tr::tr("这不是文本文件（其中有文本文件不会有的控制字节）：请选择CSV、文本或Excel(.xlsx)"
               "文件。") };
    if (validUtf8(Bytes))
        return ok(QString::fromUtf8(Bytes), u"UTF-8"_s);

    const QByteArray detected = detectedCharset(Bytes);
    const char *name = acceptedCharset(detected);
    QString text;
    if (name && qstrcmp(name, "windows-1252") != 0 && decodeStrict(Bytes, name, text))
        return ok(text, QString::fromLatin1(name));
    // Short Chinese files can leave the detector unsure, or taken for Western text; GB18030 is
    // what they are saved in.
    if (decodeStrict(Bytes, "GB18030", text) && plausibleChinese(text))
        return ok(text, u"GB18030"_s);
    if (name && decodeStrict(Bytes, name, text))
        return ok(text, QString::fromLatin1(name));
    const QString what
        = detected.isEmpty() ? Tr::tr("无法识别") : QString::fromLatin1(detected) + Tr::tr("（不支持）");
    return { false, {}, {},
        Tr::tr("无法识别文件的文字编码（%1）：请在表格程序中另存为UTF-8或GBK编码的CSV文件，或者Excel(."
           "xlsx)文件。")
            .arg(what) };
}
