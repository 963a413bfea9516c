#pragma once
// What the library tests share: a fresh database in a temporary folder with the data module
// opened on it (one per test), raw access to the file for setting up and checking, message boxes
// captured, and helpers that drive a grid with the keyboard.

#include "DBGrid.h"
#include "DM.h"
#include "DataFixture.h"
#include "Dialogs.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The data tests' temporary store, plus the library rows the editor and picker tests set up.
class TLibraryStore : public TTempStore
{
public:
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

// Makes a cell of the grid current by clicking it.
inline void clickCell(TDBGrid *grid, int row, int gridColumn)
{
    const QModelIndex cell = grid->cellIndex(row, gridColumn);
    QVERIFY(cell.isValid());
    if (grid->currentIndex() == cell)
        return;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    QCOMPARE(grid->currentIndex(), cell);
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
