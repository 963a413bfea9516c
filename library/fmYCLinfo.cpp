#include "fmYCLinfo.h"

#include "Statements.h"

using namespace Qt::StringLiterals;

TfrmYCLinfo *frmYCLinfo = nullptr;

TLibraryDef TfrmYCLinfo::definition()
{
    return { u"frmYCLinfo"_s, Sql::SheetLibrary,
        { { u"Name"_s, u"名称"_s, 95 }, { u"Length"_s, u"长"_s, 100 }, { u"Width"_s, u"宽"_s, 117 },
            { u"Price"_s, u"价格"_s, 72 } },
        { { u"Length"_s, u"长"_s, TColumnRule::Positive },
            { u"Width"_s, u"宽"_s, TColumnRule::Positive },
            { u"Price"_s, u"价格"_s, TColumnRule::NonNegative, MaxSheetPrice } },
        ImportTargets::SheetLibrary(), u"导入原材料"_s };
}

TfrmYCLinfo::TfrmYCLinfo(QWidget *parent)
    : TfrmLibraryEditor(definition(), parent)
{ }

TfrmYCLinfo::~TfrmYCLinfo()
{
    if (frmYCLinfo == this)
        frmYCLinfo = nullptr;
}
