// Helper process of the data tests.
//   data_worker lock <dir> immediate|exclusive
//       takes the write lock (or the exclusive lock) on <dir>/pnx.dat, prints "locked" and
//       holds it until killed
//   data_worker save <dir> <schemeId>
//       saves the sheets of the scheme in a loop until killed; generation g sets every row's
//       刀口 and 价格 to g, deletes the first row and appends a row named "G<g>", all in one
//       batch save; prints g after each save has returned

#include "DM.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

static int lockMode(const QString &dir, const QString &mode)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"lock"_s);
    db.setDatabaseName(dir + u"/pnx.dat"_s);
    if (!db.open())
        return 3;
    QSqlQuery q(db);
    if (!q.exec(mode == u"exclusive"_s ? u"BEGIN EXCLUSIVE"_s : u"BEGIN IMMEDIATE"_s)) {
        std::fprintf(stderr, "lock: %s\n", qPrintable(q.lastError().text()));
        return 4;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

static int saveMode(const QString &dir, qint64 scheme)
{
    TFrmDM::setDatabaseDirectory(dir);
    TFrmDM dm;
    try {
        dm.DataModuleCreate();
        TRowSet rs(Sql::SheetsOfScheme(scheme));
        rs.open();
        rs.first();
        int g = rs.field(u"刀口"_s).asInteger();
        std::printf("ready %d\n", g);
        std::fflush(stdout);
        for (;;) {
            ++g;
            for (rs.first(); !rs.eof(); rs.next()) {
                rs.edit();
                rs.field(u"刀口"_s).setAsInteger(g);
                rs.field(u"价格"_s).setAsInteger(g);
            }
            rs.first();
            rs.deleteRecord();
            rs.append();
            rs.field(u"ID"_s).setAsInteger(scheme);
            rs.field(u"名称"_s).setAsString(u"G%1"_s.arg(g));
            rs.field(u"刀口"_s).setAsInteger(g);
            rs.field(u"价格"_s).setAsInteger(g);
            rs.updateBatch();
            std::printf("%d\n", g);
            std::fflush(stdout);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "save: %s\n", e.what());
        return 5;
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"lock"_s)
        return lockMode(args[2], args[3]);
    if (args.size() == 4 && args[1] == u"save"_s)
        return saveMode(args[2], args[3].toLongLong());
    std::fprintf(
        stderr, "usage: data_worker lock <dir> immediate|exclusive | save <dir> <schemeId>\n");
    return 2;
}
