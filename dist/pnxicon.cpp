// pnxicon OUTDIR ID: writes the application icon for the desktop's icon theme, drawn by the same
// routine as the program's own icon (ShellArt::paintApplicationIcon):
//   OUTDIR/scalable/apps/ID.svg and OUTDIR/NxN/apps/ID.png for the usual sizes.
// Every file is written to a temporary name and renamed when complete.

#include "ShellArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int Sizes[] = { 16, 24, 32, 48, 64, 128, 256 };

bool save(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        ShellArt::paintApplicationIcon(p);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray svg(const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(32, 32));
    generator.setViewBox(QRect(0, 0, 32, 32));
    generator.setTitle(title);
    {
        QPainter p(&generator);
        p.setRenderHint(QPainter::Antialiasing);
        ShellArt::paintApplicationIcon(p);
    }
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen: the tool runs in the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pnxicon OUTDIR ID\n");
        return 2;
    }
    const QDir out(args[1]);
    const QString id = args[2];
    bool ok = save(out.filePath(u"scalable/apps/%1.svg"_s.arg(id)), svg(id));
    for (const int size : Sizes)
        ok = save(out.filePath(u"%1x%1/apps/%2.png"_s.arg(size).arg(id)), png(size)) && ok;
    if (!ok) {
        std::fprintf(stderr, "pnxicon: cannot write the icons into %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
