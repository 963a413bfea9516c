#pragma once
// Tables written for spreadsheets: CSV (UTF-8 with a byte-order mark, so spreadsheet programs
// open Chinese text correctly) and Excel (.xlsx, one worksheet per table). Writers take a
// QIODevice and check every write; they throw EExchangeError when the device refuses data.

#include "ExchangeTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class QIODevice;

struct TExportTable
{
    QString Title; // the worksheet's name in a workbook
    QStringList Header;
    QList<QVariantList> Rows; // texts and numbers (numbers stay numbers in Excel)
};

// The part list: 名称, 长度, 宽度, 数量, sizes as entered. The importer reads it back as it was.
TExportTable PartListTable(const QList<TPartRow> &Parts);
// The sheet usage: 名称, 长度, 宽度, 用量 (sheets).
TExportTable UsageTable(const QList<TUsageRow> &Usage);
// The parts of every layout: 切割, 原材料, 原材料长度, 原材料宽度, 张数, 名称, 长度, 宽度,
// 每张数量, 合计数量 (pieces on one sheet x sheets).
TExportTable LayoutPartsTable(const std::vector<TLayoutSheet> &Layouts);

void WriteCsv(QIODevice &Out, const TExportTable &Table);
// The bytes WriteCsv writes.
QByteArray CsvBytes(const TExportTable &Table);

// One worksheet per table, in order; header row in bold, columns wide enough for their text.
void WriteXlsx(QIODevice &Out, const QList<TExportTable> &Tables);
