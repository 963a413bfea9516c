#include "fmLJinfo.h"

#include "Statements.h"

using namespace Qt::StringLiterals;

TfrmLJinfo *frmLJinfo = nullptr;

TLibraryDef TfrmLJinfo::definition()
{
    return { u"frmLJinfo"_s, Sql::PartLibrary,
        { { u"Name"_s, TfrmLibraryEditor::tr("名称"), 95 },
            { u"Length"_s, TfrmLibraryEditor::tr("长"), 100 },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), 117 },
            { u"Grain"_s, TfrmLibraryEditor::tr("纹理"), 50, PartGrainChoices() } },
        { { u"Length"_s, TfrmLibraryEditor::tr("长"), TColumnRule::Positive },
            { u"Width"_s, TfrmLibraryEditor::tr("宽"), TColumnRule::Positive } },
        ImportTargets::PartLibrary(), TfrmLibraryEditor::tr("导入零件") };
}

TfrmLJinfo::TfrmLJinfo(QWidget *parent)
    : TfrmLibraryEditor(definition(), parent)
{ }

TfrmLJinfo::~TfrmLJinfo()
{
    if (frmLJinfo == this)
        frmLJinfo = nullptr;
}
