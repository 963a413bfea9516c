#pragma once
// The first sheet of an Excel (.xlsx) workbook as a table of texts: shared and inline strings,
// numbers (in their shortest exact decimal form), the stored results of formulas, and merged
// cells filled with the value of their top-left cell. An .xlsx file is a zip archive of XML
// parts; what is unpacked is capped, so a damaged file or a zip bomb ends in a message, never in
// a crash or an exhausted memory.

#include "TableReader.h"

namespace XlsxLimits {
inline constexpr qint64 MaxPartBytes = 128LL * 1024 * 1024; // one unpacked XML part
inline constexpr qint64 MaxTotalBytes = 256LL * 1024 * 1024; // everything unpacked
inline constexpr qint64 MaxEntries = 20000; // entries of the archive
inline constexpr qint64 MaxCells = 2000000; // non-empty cells of the sheet
} // namespace XlsxLimits

TReadOutcome ReadXlsx(const QByteArray &Bytes);
