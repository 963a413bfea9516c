#include "fmLJinfo.h"

#include "Statements.h"

using namespace Qt::StringLiterals;

TfrmLJinfo *frmLJinfo = nullptr;

TLibraryDef TfrmLJinfo::definition()
{
    return { u"frmLJinfo"_s, Sql::PartLibrary,
        { { u"Name"_s, u"名称"_s, 95 }, { u"Length"_s, u"长"_s, 100 },
            { u"Width"_s, u"宽"_s, 117 } },
        { { u"Length"_s, u"长"_s, TColumnRule::Positive },
            { u"Width"_s, u"宽"_s, TColumnRule::Positive } },
        ImportTargets::PartLibrary(), u"导入零件"_s };
}

TfrmLJinfo::TfrmLJinfo(QWidget *parent)
    : TfrmLibraryEditor(definition(), parent)
{ }

TfrmLJinfo::~TfrmLJinfo()
{
    if (frmLJinfo == this)
        frmLJinfo = nullptr;
}
