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
    const char *usage = "usage: pnxdbinit [--empty] <path of pnx.dat>\n";
    if (args.contains(u"--help"_s) || args.contains(u"-h"_s)) {
        std::printf("%s", usage);
        return 0;
    }
    if (args.removeAll(u"--empty"_s) > 0)
        seed = DBSchema::TSeed::None;
    // Any other word starting with "-" is a mistyped option, not a file name: creating a
    // database called "--emtpy" in the working folder helps no one (write ./-name for such a file).
    for (const QString &a : args) {
        if (a.startsWith(u'-')) {
            std::fprintf(stderr, "pnxdbinit: unknown option %s\n%s", qPrintable(a), usage);
            return 2;
        }
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "%s", usage);
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
