#pragma once
// Part labels: one label per piece to be cut, with the project number, the scheme, the part's
// name and size as entered, its layout and sheet, and a piece code as Code 128 barcode (and,
// when chosen, as QR code). Printed onto any paged device (a QPrinter, a QPdfWriter): on A4
// label sheets of Columns x Rows labels, or one label a page for label printers.

#include "ExchangeTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

class QIODevice;
class QPagedPaintDevice;

// How labels are laid out; the defaults are those of the work-area settings (Label* keys).
struct TLabelSettings
{
    bool PerPage = false; // one label a page (label printer), else A4 sheets
    int Columns = 3; // A4 sheets: labels across
    int Rows = 8; // A4 sheets: labels down
    double SheetMarginMm = 0; // A4 sheets: margin around the labels
    double WidthMm = 60; // label printer: size of one label
    double HeightMm = 40;
    bool QrCode = false; // a QR code beside the text
};

// The settings as the user set them (AppSettings Label* keys).
TLabelSettings LabelSettingsFromApp();

struct TLabel
{
    QString Project; // the project's order number (单号)
    QString Scheme; // the scheme's name
    QString PartName;
    QString Size; // as entered: "720 × 560"
    int Layout = 0; // the layout's number (切割N)
    int Sheet = 0; // which of the layout's sheets, from 1
    int Sheets = 0; // how many sheets the layout is cut on
    QString PieceCode;
};

// The code of a piece: the letters and digits of the project number, the digits of the
// scheme's name, the layout and the piece's number within the layout, joined by '-'
// ("T20240501093000-1-3-17"). ASCII only, so that Code 128 can carry it.
QString PieceCode(const QString &Project, const QString &Scheme, int Layout, int Piece);

// One label per piece of every layout: every sheet of a layout, each part placed on it in
// placement order. The size is the part's as entered when EnteredParts (the part list handed to
// the engine, in the engine's order) has the piece's part; otherwise its placed size, longer
// side first.
QList<TLabel> LabelsForLayouts(const std::vector<TLayoutSheet> &Layouts, const QString &Project,
    const QString &Scheme, const QList<TPartRow> &EnteredParts = {});

// Sets the device's page (A4, or the label's size) and prints the labels onto it. For a
// QPrinter, set full-page mode first, so the page's corner is the paper's. Throws
// EExchangeError when there is nothing to print or the device refuses the page or a barcode
// cannot be made.
void PaintLabels(
    QPagedPaintDevice &Device, const QList<TLabel> &Labels, const TLabelSettings &Settings);

// The labels as a PDF document.
QByteArray LabelsPdf(const QList<TLabel> &Labels, const TLabelSettings &Settings);
void WriteLabelsPdf(QIODevice &Out, const QList<TLabel> &Labels, const TLabelSettings &Settings);
