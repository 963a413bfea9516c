// pnxdbinit <path>: creates a fresh pnx.dat at <path> from the schema and the seed data, unless
// a file of that name exists already (then it is left exactly as it is).
//   --empty   the empty schema only, no libraries and no example project

#include "DM.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    DBSchema::TSeed seed = DBSchema::TSeed::Examples;
    if (args.removeAll(u"--empty"_s) > 0)
        seed = DBSchema::TSeed::None;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pnxdbinit [--empty] <path of pnx.dat>\n");
        return 2;
    }
    const QString path = args.first();
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        std::printf("pnxdbinit: %s exists, left as it is\n", qPrintable(path));
        return 0;
    }
    try {
        DBSchema::CreateDatabase(path, seed);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "pnxdbinit: %s\n", e.what());
        return 1;
    }
    std::printf("pnxdbinit: created %s\n", qPrintable(path));
    return 0;
}
