#pragma once
// Every query and delete text the system issues, exactly as the system words them (Chinese
// table and column names, trailing spaces, the Jet-style "Top n"). Windows take their texts from
// here and nowhere else; the row-set layer translates them for the store in one place
// (TRowSet::toSqlite).

#include <QString>
#include <QtGlobal>

namespace Sql {

// ---- whole texts ----
// Part library: library editor and picker.
inline const QString PartLibrary = QStringLiteral("select * from 零件信息表");
// Sheet library: library editor and picker.
inline const QString SheetLibrary = QStringLiteral("select * from 原材料信息表");
// The ten projects with the largest ID, largest first.
inline const QString RecentProjects
    = QStringLiteral("select Top 10 * from 主数据表 order by ID desc");
// Sheets when no scheme is current: always an empty result.
inline const QString NoSheets = QStringLiteral("Select * From 原材料表 where ID = -1");
// The whole-table texts a row set is bound to before it is first given a filtered one
// (never opened in that state).
inline const QString AllSchemes = QStringLiteral("select * from 子数据表");
inline const QString AllSheets = QStringLiteral("select * from 原材料表");
inline const QString AllParts = QStringLiteral("select * from 零件表");

// ---- beginnings of the texts that take a value ----
inline const QString ProjectByOrderNoPrefix
    = QStringLiteral("select * from 主数据表 Where 单号 = ");
inline const QString SchemesOfProjectPrefix = QStringLiteral("select * from 子数据表 where PID = ");
inline const QString SheetsOfSchemePrefix = QStringLiteral("Select * From 原材料表 Where ID = ");
inline const QString PartsOfProjectPrefix = QStringLiteral("Select * From 零件表 Where ID = ");
inline const QString DeleteProjectSheetsPrefix
    = QStringLiteral("Delete From 原材料表 Where ID in (Select ID From 子数据表 Where PID = ");
inline const QString DeleteProjectSheetsSuffix = QStringLiteral(")");
inline const QString DeleteProjectPartsPrefix = QStringLiteral("Delete From 零件表 Where ID = ");
inline const QString DeleteProjectSchemesPrefix
    = QStringLiteral("Delete From 子数据表 Where PID = ");
inline const QString DeleteSchemeSheetsPrefix = QStringLiteral("Delete From 原材料表 Where ID = ");

// The text as an SQL string literal: in single quotes, every single quote inside doubled.
inline QString QuotedStr(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

// ---- complete texts with their value (decimal, or the quoted order number) ----
inline QString ProjectByOrderNo(const QString &orderNo)
{
    return ProjectByOrderNoPrefix + QuotedStr(orderNo);
}
inline QString SchemesOfProject(qint64 projectId)
{
    return SchemesOfProjectPrefix + QString::number(projectId);
}
inline QString SheetsOfScheme(qint64 schemeId)
{
    return SheetsOfSchemePrefix + QString::number(schemeId);
}
inline QString PartsOfProject(qint64 projectId)
{
    return PartsOfProjectPrefix + QString::number(projectId);
}
// Deleting a project, in this order: the sheets of all its schemes, its parts, its schemes.
inline QString DeleteProjectSheets(qint64 projectId)
{
    return DeleteProjectSheetsPrefix + QString::number(projectId) + DeleteProjectSheetsSuffix;
}
inline QString DeleteProjectParts(qint64 projectId)
{
    return DeleteProjectPartsPrefix + QString::number(projectId);
}
inline QString DeleteProjectSchemes(qint64 projectId)
{
    return DeleteProjectSchemesPrefix + QString::number(projectId);
}
// Deleting a scheme: its sheets.
inline QString DeleteSchemeSheets(qint64 schemeId)
{
    return DeleteSchemeSheetsPrefix + QString::number(schemeId);
}

} // namespace Sql
