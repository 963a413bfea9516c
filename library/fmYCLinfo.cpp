#include "fmYCLinfo.h"

#include "Statements.h"

using namespace Qt::StringLiterals;

TfrmYCLinfo *frmYCLinfo = nullptr;

TLibraryDef TfrmYCLinfo::definition()
{
    return { u"frmYCLinfo"_s, Sql::SheetLibrary,
        { { u"Name"_s, TfrmLibraryEditor::tr("名称"), 95 },
            { u"Length"_s, TfrmLibraryEditor::tr("长"), 100 },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), 117 },
            { u"Price"_s, TfrmLibraryEditor::tr("价格"), 72 } },
        { { u"Length"_s, TfrmLibraryEditor::tr("长"), TColumnRule::Positive },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), TColumnRule::Positive },
            { u"Price"_s, TfrmLibraryEditor::tr("价格"), TColumnRule::NonNegative, MaxSheetPrice } },
        ImportTargets::SheetLibrary(), TfrmLibraryEditor::tr("导入原材料") };
}

TfrmYCLinfo::TfrmYCLinfo(QWidget *parent)
    : TfrmLibraryEditor(definition(), parent)
{ }

TfrmYCLinfo::~TfrmYCLinfo()
{
    if (frmYCLinfo == this)
        frmYCLinfo = nullptr;
}
