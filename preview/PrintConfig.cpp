#include "PrintConfig.h"

#include "DataPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QPainter>
#include <QPen>
#include <QSaveFile>
#include <QtEndian>

#include <array>

using namespace Qt::StringLiterals;

TPrintConfig PrintConfig;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(PrintConfig)
};

const QByteArray Signature = "TPF0"_ba;
const QByteArray ClassName = "TPrintConfig"_ba;

// Value types of the stream that the settings use.
constexpr char vaInt8 = 2;
constexpr char vaInt16 = 3;
constexpr char vaInt32 = 4;

struct TProperty
{
    const char *Name;
    int TPrintConfig::*Field;
    int Min;
    int Max;
};

// In the order they are written, with the values that make sense: a pen up to 50 printer pixels,
// margins up to 100 mm, paper up to 2 m a side (0: not chosen yet). A value outside is a damaged
// file, not a wish: it would print drawings over each other or off the page.
constexpr std::array<TProperty, 5> Properties { {
    { "LineWidth", &TPrintConfig::LineWidth, 0, MaxLineWidth },
    { "LeftOffset", &TPrintConfig::LeftOffset, 0, MaxMargin },
    { "TopOffset", &TPrintConfig::TopOffset, 0, MaxMargin },
    { "PageWidth", &TPrintConfig::PageWidth, 0, MaxPaperSide },
    { "PageHeight", &TPrintConfig::PageHeight, 0, MaxPaperSide },
} };

QString &directoryOverride()
{
    static QString dir;
    return dir;
}

[[noreturn]] void fail(const QString &message)
{
    throw EConfigError(message.toStdString());
}

// A name from the file as it can be shown: printable ASCII as is, other bytes as \xNN.
QString shownName(const QByteArray &name)
{
    QString out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F)
            out += QChar(char16_t(u));
        else
            out += u"\\x"_s + QString::number(u, 16).rightJustified(2, u'0');
    }
    return out;
}

// Walks the bytes, failing with the position of a truncation.
class TStreamReader
{
public:
    explicit TStreamReader(const QByteArray &bytes)
        : FBytes(bytes)
    { }

    qsizetype Pos() const { return FPos; }

    QByteArray Take(qsizetype n)
    {
        Need(n);
        const QByteArray out = FBytes.mid(FPos, n);
        FPos += n;
        return out;
    }
    quint8 Byte() { return static_cast<quint8>(Take(1).at(0)); }
    // A length byte and that many bytes.
    QByteArray ShortString() { return Take(Byte()); }

private:
    void Need(qsizetype n)
    {
        if (FBytes.size() - FPos < n)
            fail(Tr::tr("文件在第 %1 字节处意外结束").arg(FBytes.size()));
    }

    const QByteArray &FBytes;
    qsizetype FPos = 0;
};

void appendShortString(QByteArray &out, const QByteArray &s)
{
    out += char(s.size());
    out += s;
}

void appendInteger(QByteArray &out, int value)
{
    if (value >= -128 && value <= 127) {
        out += vaInt8;
        out += char(qint8(value));
    } else if (value >= -32768 && value <= 32767) {
        out += vaInt16;
        char le[2];
        qToLittleEndian(qint16(value), le);
        out.append(le, 2);
    } else {
        out += vaInt32;
        char le[4];
        qToLittleEndian(qint32(value), le);
        out.append(le, 4);
    }
}

} // namespace

QByteArray ConfigStream(const TPrintConfig &Config)
{
    QByteArray out = Signature;
    appendShortString(out, ClassName);
    appendShortString(out, QByteArray()); // the object has no name
    for (const TProperty &p : Properties) {
        appendShortString(out, QByteArray(p.Name));
        appendInteger(out, Config.*p.Field);
    }
    out += char(0); // end of the properties
    out += char(0); // end of the owned components (none)
    return out;
}

void WriteConfig(const TPrintConfig &Config, QIODevice &Device)
{
    const QByteArray bytes = ConfigStream(Config);
    if (Device.write(bytes) != bytes.size())
        fail(Tr::tr("无法写入打印设置：%1").arg(Device.errorString()));
}

void ReadConfig(const QByteArray &Bytes, TPrintConfig &Config)
{
    TStreamReader in(Bytes);
    if (Bytes.left(Signature.size()) != Signature)
        fail(Tr::tr("不是打印设置文件（开头不是 TPF0）"));
    in.Take(Signature.size());
    in.ShortString(); // class name, not compared
    in.ShortString(); // object name
    for (;;) {
        const qsizetype at = in.Pos();
        const QByteArray name = in.ShortString();
        if (name.isEmpty())
            break; // end of the properties
        const TProperty *property = nullptr;
        for (const TProperty &p : Properties) {
            if (name.compare(QByteArray(p.Name), Qt::CaseInsensitive) == 0)
                property = &p;
        }
        if (!property)
            fail(Tr::tr("第 %1 字节处的属性名“%2”未知").arg(at).arg(shownName(name)));
        const qsizetype typeAt = in.Pos();
        const char type = char(in.Byte());
        int value = 0;
        switch (type) {
        case vaInt8:
            value = qint8(in.Byte());
            break;
        case vaInt16:
            value = qFromLittleEndian<qint16>(in.Take(2).constData());
            break;
        case vaInt32:
            value = qFromLittleEndian<qint32>(in.Take(4).constData());
            break;
        default:
            fail(Tr::tr("第 %1 字节处属性 %2 的值类型 %3 不是整数").arg(typeAt)
                     .arg(QString::fromLatin1(property->Name))
                     .arg(int(quint8(type))));
        }
        if (value < property->Min || value > property->Max)
            fail(Tr::tr("第 %1 字节处属性 %2 的值 %3 超出范围（%4 到 %5）").arg(typeAt)
                     .arg(QString::fromLatin1(property->Name))
                     .arg(value)
                     .arg(property->Min)
                     .arg(property->Max));
        Config.*property->Field = value;
    }
    const qsizetype at = in.Pos();
    if (in.Byte() != 0)
        fail(Tr::tr("第 %1 字节处有不应有的子组件").arg(at));
    // Whatever follows the stream is not read, as with any component stream.
}

QString ConfigDirectory()
{
    if (!directoryOverride().isEmpty())
        return directoryOverride();
    return DataPlace::current().configDirectory;
}

void SetConfigDirectory(const QString &Dir)
{
    directoryOverride() = Dir;
}

QString ConfigFile()
{
    return QDir(ConfigDirectory()).absoluteFilePath(u"Config"_s);
}

void SetConfig(QPainter *Page)
{
    const QString path = ConfigFile();
    QFile file(path);
    if (!file.exists())
        return;
    const auto cannotRead = [&](const QString &reason) {
        fail(Tr::tr("无法读取打印设置文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::ReadOnly))
        cannotRead(file.errorString());
    if (file.size() > MaxConfigSize)
        cannotRead(Tr::tr("文件太大（%1 字节）").arg(file.size()));
    // One byte more than allowed tells a file that grew after the size was taken.
    const QByteArray bytes = file.read(MaxConfigSize + 1);
    if (file.error() != QFileDevice::NoError)
        cannotRead(file.errorString());
    if (bytes.size() > MaxConfigSize)
        cannotRead(Tr::tr("文件太大（%1 字节）").arg(bytes.size()));
    try {
        ReadConfig(bytes, PrintConfig);
    } catch (const EConfigError &e) {
        cannotRead(QString::fromUtf8(e.what()));
    }
    if (Page) {
        QPen pen = Page->pen();
        pen.setWidth(PrintConfig.LineWidth);
        Page->setPen(pen);
    }
}

QString PutDamagedConfigAside()
{
    const QString path = ConfigFile();
    const QString aside = path + u".bad"_s;
    if (QFile::exists(path)) {
        if (QFile::exists(aside) && !QFile::remove(aside))
            fail(Tr::tr("无法删除旧的“%1”").arg(QDir::toNativeSeparators(aside)));
        QFile file(path);
        if (!file.rename(aside))
            fail(Tr::tr("无法把损坏的打印设置文件改名为“%1”：%2").arg(
                QDir::toNativeSeparators(aside), file.errorString()));
    }
    PrintConfig = TPrintConfig();
    return aside;
}

void SaveConfig()
{
    const QString path = ConfigFile();
    const auto cannotWrite = [&](const QString &reason) {
        fail(Tr::tr("无法保存打印设置文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(file.errorString());
    try {
        WriteConfig(PrintConfig, file);
    } catch (const EConfigError &) {
        cannotWrite(file.errorString());
    }
    if (!file.commit())
        cannotWrite(file.errorString());
}
