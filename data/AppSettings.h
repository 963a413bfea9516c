#pragma once
// Every per-user setting of the work areas (deep mode, offcuts, printouts, labels, language), with
// its default and its range, in one place. They share the program's one settings file
// (~/.config/pnx/pnx.conf) with the main window's view settings, which the shell keeps in the
// group "MainWindow" of the same file (shell/ShellSettings.h).
//
//   Key                 Type    Default  Range          Meaning
//   DeepMode            bool    false                   results window: 深度优化 checked
//   DeepSeconds         int     10       1..3600        time budget of a deep run in seconds
//   MinOffcutLength     int     200      1..100000      an offcut at least this long (mm) ...
//   MinOffcutWidth      int     200      1..100000      ... and this wide is kept as 余料
//   MakerCompany        string  ""                      printouts' footer: company
//   MakerPhone          string  ""                      printouts' footer: telephone
//   LabelPerPage        bool    false                   labels: one a page (label printer), else A4
//   sheets LabelColumns        int     3        1..20          labels on an A4 sheet: columns
//   LabelRows           int     8        1..40          labels on an A4 sheet: rows
//   LabelSheetMarginMm  double  0        0..100         margin of the A4 label sheet
//   LabelWidthMm        double  60       10..500        size of one label on a label printer
//   LabelHeightMm       double  40       10..500
//   LabelQrCode         bool    false                   labels carry a QR code beside the barcode
//   OffcutPriceRatio    double  0        0..10          price of a stocked offcut: sheet price per
//                                                       area x its area x this
//   Language            string  ""       "", zh, en     "" follows the system
//   LastFolder          string  ""                      folder of the last file saved or opened
//
// Values that are missing, of the wrong type or out of range read as their default.

#include <QString>
#include <QVariant>

namespace AppSettings {

enum class Key {
    DeepMode,
    DeepSeconds,
    MinOffcutLength,
    MinOffcutWidth,
    MakerCompany,
    MakerPhone,
    LabelPerPage,
    LabelColumns,
    LabelRows,
    LabelSheetMarginMm,
    LabelWidthMm,
    LabelHeightMm,
    LabelQrCode,
    OffcutPriceRatio,
    Language,
    LastFolder,
};

bool boolValue(Key key);
int intValue(Key key);
double doubleValue(Key key);
QString stringValue(Key key);
QVariant defaultValue(Key key);
QString keyName(Key key);

// Stores a value; one out of range or of the wrong type is stored as the nearest allowed value
// (numbers clamped) or not at all (a language that is not offered). Returns what was stored.
QVariant setValue(Key key, const QVariant &value);

// Where the settings are kept (QSettings organisation and application): "pnx", "pnx".
QString organisation();
QString application();

} // namespace AppSettings
