#pragma once
// Zip archives made in memory for the tests: hand-written Excel workbooks (shared and inline
// strings, formulas, merged cells, hidden sheets) and damaged or oversized ones.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <zip.h>

using TZipEntries = QList<QPair<QString, QByteArray>>;

inline QByteArray ZipArchive(const TZipEntries &Entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t *za = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!za)
        qFatal("zip_open_from_source failed");
    zip_source_keep(buffer);
    for (const auto &[name, data] : Entries) {
        zip_source_t *s = zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0);
        if (zip_file_add(za, name.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8) < 0)
            qFatal("zip_file_add failed");
    }
    if (zip_close(za) < 0)
        qFatal("zip_close failed");
    QByteArray out;
    zip_stat_t st;
    zip_source_open(buffer);
    zip_source_stat(buffer, &st);
    out.resize(qsizetype(st.size));
    zip_source_read(buffer, out.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

// A workbook whose sheets (in order) are given as the XML of their <sheetData> and what follows
// it; Hidden marks sheets with state="hidden". Shared strings as given.
inline QByteArray XlsxWorkbook(const QList<QByteArray> &SheetBodies,
    const QList<QByteArray> &SharedStrings, const QList<bool> &Hidden = {})
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray rns
        = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    QByteArray sheets, rels;
    TZipEntries entries;
    for (int i = 0; i < SheetBodies.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        sheets += "<sheet name=\"S" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\""
            + (Hidden.value(i) ? " state=\"hidden\"" : "") + "/>";
        rels += "<Relationship Id=\"rId" + n
            + "\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
              "worksheet\" "
              "Target=\"worksheets/sheet"
            + n + ".xml\"/>";
        entries.append({ QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + ns + " " + rns + ">"
                + SheetBodies[i] + "</worksheet>" });
    }
    entries.append({ QStringLiteral("[Content_Types].xml"),
        "<?xml version=\"1.0\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>" });
    entries.append({ QStringLiteral("xl/workbook.xml"),
        "<?xml version=\"1.0\"?><workbook " + ns + " " + rns + "><sheets>" + sheets
            + "</sheets></workbook>" });
    entries.append({ QStringLiteral("xl/_rels/workbook.xml.rels"),
        "<?xml version=\"1.0\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            + rels + "</Relationships>" });
    QByteArray sst = "<?xml version=\"1.0\"?><sst " + ns + ">";
    for (const QByteArray &s : SharedStrings)
        sst += "<si>" + s + "</si>";
    sst += "</sst>";
    entries.append({ QStringLiteral("xl/sharedStrings.xml"), sst });
    return ZipArchive(entries);
}
