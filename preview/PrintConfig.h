#pragma once
// The print settings: page margins chosen in the page setup dialog, the paper size that dialog
// reported, and a pen width for the printer page. One object, PrintConfig, lives for the whole
// run; the file "Config" (beside the program, or in the user's config folder: DataPlace) keeps it
// between runs as a component byte stream:
//
//   "TPF0", class name (length byte + "TPrintConfig"), object name (length byte 0),
//   one record per property: name (length byte + ASCII), type byte, little-endian value
//     type 2: signed 8-bit, type 3: signed 16-bit, type 4: signed 32-bit
//   0 (end of the properties), 0 (end of the owned components).
//
// Writing uses the shortest form for each value and the order LineWidth, LeftOffset, TopOffset,
// PageWidth, PageHeight. Reading takes the records in any order and in any of the three forms;
// a property that is absent keeps its value; the class name is not compared.

#include <QByteArray>
#include <QString>
#include <stdexcept>

class QIODevice;
class QPainter;

class TPrintConfig
{
public:
    // Printer pen width in printer pixels, given to the page's pen when the settings are loaded.
    // Only the file sets it. The layout drawing sets its own one-pixel pen regardless.
    int LineWidth = 0;
    // Left and top margins in whole millimetres as entered in the page setup dialog. Printing
    // converts them to printer pixels and applies each on both sides of the drawing area.
    int LeftOffset = 0;
    int TopOffset = 0;
    // Paper width and height in hundredths of a millimetre as the dialog reported them; used
    // only to prime the dialog again.
    int PageWidth = 0;
    int PageHeight = 0;

    friend bool operator==(const TPrintConfig &, const TPrintConfig &) = default;
};

// The settings of this run (all 0 at program start).
extern TPrintConfig PrintConfig;

// A settings file that cannot be read or written. what() is the UTF-8 message shown to the user.
class EConfigError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The byte stream of Config.
QByteArray ConfigStream(const TPrintConfig &Config);
// Writes the byte stream to Device; throws EConfigError when the device refuses it.
void WriteConfig(const TPrintConfig &Config, QIODevice &Device);
// Reads a byte stream into Config, property by property: on a fault the properties read before
// it keep their new values and EConfigError tells what is wrong and where. A value out of its
// range (see MaxMargin etc.) is such a fault. Any bytes are safe.
void ReadConfig(const QByteArray &Bytes, TPrintConfig &Config);

// The largest values a settings file may hold (see ReadConfig).
constexpr int MaxLineWidth = 50; // printer pixels
constexpr int MaxMargin = 100; // millimetres
constexpr int MaxPaperSide = 200000; // hundredths of a millimetre

// Files larger than this are not settings files and are refused without being read whole.
constexpr qint64 MaxConfigSize = 64 * 1024;

// The folder of the settings file: the data place's (DataPlace::current()), or the test override.
QString ConfigDirectory();
// Test hook: the folder to use instead of the data place's (empty: the data place's again).
void SetConfigDirectory(const QString &Dir);
// ConfigDirectory() + "/Config".
QString ConfigFile();

// Loads Config into PrintConfig when the file exists and then sets the pen width of Page (when
// given) to LineWidth; without the file nothing changes, the pen included. Throws EConfigError
// for a file that cannot be read as settings (properties read before the fault keep their new
// values).
void SetConfig(QPainter *Page = nullptr);
// A damaged settings file is kept aside as "Config.bad" (replacing an older one) and PrintConfig
// starts afresh (all 0), so that the page can be set up again. Returns the path of Config.bad.
// Throws EConfigError when the file cannot be moved.
QString PutDamagedConfigAside();
// Saves PrintConfig to Config atomically (the old file stays whole until the new one is
// complete). Throws EConfigError when the folder or file cannot be written; the values stay
// in memory.
void SaveConfig();
