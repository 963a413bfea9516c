#pragma once
// What the library tests share: a fresh database in a temporary folder with the data module
// opened on it (one per test), raw access to the file for setting up and checking, message boxes
// captured, and helpers that drive a grid with the keyboard.

#include "DBGrid.h"
#include "DM.h"
#include "Dialogs.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TLibraryStore
{
public:
    TLibraryStore()
    {
        TFrmDM::setDatabaseDirectory(FDir.path());
        DBSchema::CreateDatabase(FDir.filePath(QStringLiteral("pnx.dat")), DBSchema::TSeed::None);
        dm = std::make_unique<TFrmDM>();
        dm->DataModuleCreate();
    }
    ~TLibraryStore()
    {
        if (QSqlDatabase::contains(FRawName)) {
            QSqlDatabase::database(FRawName, false).close();
            QSqlDatabase::removeDatabase(FRawName);
        }
        dm.reset();
        TFrmDM::setDatabaseDirectory(QString());
    }
    TLibraryStore(const TLibraryStore &) = delete;
    TLibraryStore &operator=(const TLibraryStore &) = delete;

    QString dir() const { return FDir.path(); }

    // A second connection to the same file, for set-up and checks outside the row sets.
    QSqlDatabase raw()
    {
        if (!QSqlDatabase::contains(FRawName)) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FRawName);
            db.setDatabaseName(FDir.filePath(QStringLiteral("pnx.dat")));
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open())
                qFatal("raw connection: %s", qPrintable(db.lastError().text()));
        }
        return QSqlDatabase::database(FRawName);
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(raw());
        if (!q.prepare(sql))
            qFatal("prepare %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            qFatal("exec %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
    // One column of a query, row by row; null reads "<null>".
    QStringList column(const QString &sql)
    {
        QSqlQuery q(raw());
        if (!q.exec(sql))
            qFatal("column %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        QStringList out;
        while (q.next())
            out << (q.isNull(0) ? QStringLiteral("<null>") : q.value(0).toString());
        return out;
    }

    void addPart(const QVariant &name, const QVariant &length, const QVariant &width)
    {
        exec(QStringLiteral("INSERT INTO 零件信息表 (Name, Length, Width) VALUES (?, ?, ?)"),
            { name, length, width });
    }
    // price in ten-thousandths, as stored
    void addSheet(const QVariant &name, const QVariant &length, const QVariant &width,
        const QVariant &priceUnits)
    {
        exec(QStringLiteral(
                 "INSERT INTO 原材料信息表 (Name, Length, Width, Price) VALUES (?, ?, ?, ?)"),
            { name, length, width, priceUnits });
    }

    std::unique_ptr<TFrmDM> dm;

private:
    QTemporaryDir FDir;
    QString FRawName = QStringLiteral("library-raw-") + QString::number(quintptr(this));
};

namespace LibraryTest {

// Shows a top-level window and makes it active, so that keys reach the focus widget.
inline bool showActive(QWidget *w)
{
    w->show();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

// The widget the keyboard is at inside grid: an open cell editor, else the grid.
inline QWidget *keyTarget(QWidget *grid)
{
    QWidget *f = QApplication::focusWidget();
    return f && (f == grid || grid->isAncestorOf(f)) ? f : grid;
}

// Types text as single key presses wherever the keyboard is in the grid (the first key opens
// the cell editor).
inline void type(QWidget *grid, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(keyTarget(grid), char(c.unicode()));
        else // a character from an input method: no key code of its own
            QTest::sendKeyEvent(QTest::Click, keyTarget(grid), Qt::Key_unknown, QString(c), {});
    }
}

inline void pressEnter(QWidget *grid)
{
    QTest::keyClick(keyTarget(grid), Qt::Key_Return);
}

// The texts of one grid column, top to bottom.
inline QStringList columnTexts(const TDBGrid *grid, int gridColumn)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->cellIndex(r, gridColumn).data().toString();
    return out;
}

} // namespace LibraryTest
