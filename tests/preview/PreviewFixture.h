#pragma once
// What the preview and printing tests share: a run of layouts built straight into the engine's
// result lists (so every case controls its layouts exactly), and the text of a PDF file with
// the places of its lines, read through pdftotext.

#include "EngineLayouts.h"
#include "TypeSetClass.h"

#include <QFile>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QXmlStreamReader>

#include <initializer_list>
#include <optional>

// A run with layouts of the caller's choosing: each layout a sheet kind, its sheet count, its
// utilisation and strips. The views are made as the engine's notifications make them.
class TRunFixture
{
public:
    struct TStrip
    {
        std::string Text;
        int X, Y, Width, Height, Count;
        bool Horizontal = true;
    };

    TRectManage Engine;
    TEngineLayouts Layouts { Engine };

    // Adds layout Layouts.LayoutCount() + 1 on a new sheet kind W x H.
    void AddLayout(
        int W, int H, int Sheets, int Used, std::initializer_list<TStrip> Strips, int Blade = 0)
    {
        const int group = Layouts.LayoutCount() + 1;
        TMaterialType &sheet = *Engine.BCTypeList().Add();
        sheet.SetText("原片" + std::to_string(group));
        sheet.SetWidth(W);
        sheet.SetHeight(H);
        sheet.SetBlade(Blade);
        for (const TStrip &s : Strips) {
            TMaterialType &r = *Engine.CreateRectList().Add();
            r.SetText(s.Text);
            r.SetX(s.X);
            r.SetY(s.Y);
            r.SetWidth(s.Width);
            r.SetHeight(s.Height);
            r.SetCount(s.Count);
            r.SetGroup(group);
            r.SetBlade(Blade);
            r.SetRange(s.Horizontal ? TOrient::horizontal : TOrient::vertical);
        }
        TMaterialType &g = *Engine.GroupList().Add();
        g.SetGroup(group);
        g.SetCount(Sheets);
        g.SetUsedCount(Used);
        Layouts.OnNewRectList(group, Engine.BCTypeList().Count() - 1, Sheets);
    }

    // N layouts of 800 x 600 sheets, layout g cut g times with two side panels and a shelf.
    void AddLayouts(int N)
    {
        for (int i = 0; i < N; ++i)
            AddLayout(800, 600, i + 1, 80 + i % 10,
                { { "侧板", 0, 0, 300, 500, 2 }, { "隔板", 600, 0, 150, 400, 1 } });
    }
};

// The text of a PDF: one entry per line of words, in points from the page's top left corner.
struct TPdfLine
{
    int Page = 0; // from 1
    QString Text; // the words joined by single spaces
    QRectF Box;
};

struct TPdfText
{
    QString Title;
    QList<QSizeF> Pages;
    QList<TPdfLine> Lines;
    QList<TPdfLine> Words; // each word on its own

    QList<TPdfLine> OnPage(int page) const
    {
        QList<TPdfLine> out;
        for (const TPdfLine &l : Lines)
            if (l.Page == page)
                out << l;
        return out;
    }
    // The lines whose text contains s.
    QList<TPdfLine> Find(const QString &s) const
    {
        QList<TPdfLine> out;
        for (const TPdfLine &l : Lines)
            if (l.Text.contains(s))
                out << l;
        return out;
    }
};

// Runs pdftotext -bbox on the file; nothing when it cannot (Error says why).
inline std::optional<TPdfText> ReadPdfText(const QString &Path, QString &Error)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), Path, QStringLiteral("-") });
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        Error = QStringLiteral("pdftotext failed: ") + p.errorString()
            + QString::fromUtf8(p.readAllStandardError());
        return std::nullopt;
    }
    TPdfText out;
    QXmlStreamReader xml(p.readAllStandardOutput());
    TPdfLine *line = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QStringLiteral("title")) {
            out.Title = xml.readElementText();
        } else if (xml.name() == QStringLiteral("page")) {
            out.Pages << QSizeF(a.value(QStringLiteral("width")).toDouble(),
                a.value(QStringLiteral("height")).toDouble());
            line = nullptr;
        } else if (xml.name() == QStringLiteral("word")) {
            const QRectF box(QPointF(a.value(QStringLiteral("xMin")).toDouble(),
                                 a.value(QStringLiteral("yMin")).toDouble()),
                QPointF(a.value(QStringLiteral("xMax")).toDouble(),
                    a.value(QStringLiteral("yMax")).toDouble()));
            const QString word = xml.readElementText();
            out.Words.append({ int(out.Pages.size()), word, box });
            // A word on the same baseline right after the last one continues its line.
            if (line && line->Page == out.Pages.size() && qAbs(line->Box.top() - box.top()) < 0.5
                && box.left() >= line->Box.right() - 0.5 && box.left() - line->Box.right() < 20) {
                line->Text += QLatin1Char(' ') + word;
                line->Box |= box;
            } else {
                out.Lines.append({ int(out.Pages.size()), word, box });
                line = &out.Lines.last();
            }
        }
    }
    if (xml.hasError()) {
        Error = QStringLiteral("unreadable pdftotext output: ") + xml.errorString();
        return std::nullopt;
    }
    return out;
}
