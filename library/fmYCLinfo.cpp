#include "fmYCLinfo.h"

#include "Statements.h"

using namespace Qt::StringLiterals;

TfrmYCLinfo *frmYCLinfo = nullptr;

TLibraryDef TfrmYCLinfo::definition()
{
    // Grain, trim and stock: whether the board has grain (along its length), the trim taken off
    // every edge before layout, and how many sheets are in stock (empty: no count kept).
    return { u"frmYCLinfo"_s, Sql::SheetLibrary,
        { { u"Name"_s, TfrmLibraryEditor::tr("名称"), 95 },
            { u"Length"_s, TfrmLibraryEditor::tr("长"), 100 },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), 117 },
            { u"Price"_s, TfrmLibraryEditor::tr("价格"), 72 },
            { u"Grain"_s, TfrmLibraryEditor::tr("纹理"), 50, SheetGrainChoices() },
            { u"Trim"_s, TfrmLibraryEditor::tr("修边"), 50 },
            { u"Stock"_s, TfrmLibraryEditor::tr("库存"), 50 } },
        { { u"Length"_s, TfrmLibraryEditor::tr("长"), TColumnRule::Positive },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), TColumnRule::Positive },
            { u"Price"_s, TfrmLibraryEditor::tr("价格"), TColumnRule::NonNegative, MaxSheetPrice },
            { u"Trim"_s, TfrmLibraryEditor::tr("修边"), TColumnRule::NonNegative },
            { u"Stock"_s, TfrmLibraryEditor::tr("库存"), TColumnRule::NonNegative } },
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
