#include "LayoutFromEngine.h"

#include "AppSettings.h"
#include "DrawMaterial.h"
#include "TypeSetClass.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QPalette>

TGrainDirection SheetGrainDirection(const TMaterialType &Sheet)
{
    if (!Sheet.Grain())
        return TGrainDirection::None;
    return Sheet.EnteredLengthShorter() ? TGrainDirection::AlongY : TGrainDirection::AlongX;
}

void SetupLayoutView(TDrawMaterial &View, TMaterialType &Sheet, int Group, int RectCount)
{
    SetupLayoutView(View, Sheet.Width(), Sheet.Height(), Sheet.Blade(), Group, RectCount,
        Sheet.Trim(), SheetGrainDirection(Sheet));
}

void SetupLayoutView(TDrawMaterial &View, int SheetWidth, int SheetHeight, int Blade, int Group,
    int RectCount, int Trim, TGrainDirection Grain)
{
    View.SetMWidth(SheetWidth);
    View.SetMHeight(SheetHeight);
    View.SetTag(RectCount);
    View.SetGroup(Group);
    View.SetBlade(Blade);
    View.SetTrim(Trim);
    View.SetSheetGrain(Grain);
    View.SetShowHint(true);
    View.SetColor(QApplication::palette().color(QPalette::Button));
    View.SetSelectColor(QColor(255, 255, 0));
    View.SetLineColor(QColor(0, 0, 255));
}

TOffcutRule OffcutRuleFromSettings()
{
    return { AppSettings::intValue(AppSettings::Key::MinOffcutLength),
        AppSettings::intValue(AppSettings::Key::MinOffcutWidth) };
}

void DrawPanel(TDrawMaterial &View, TRectManage &Engine)
{
    DrawPanel(View, Engine, OffcutRuleFromSettings());
}

void DrawPanel(TDrawMaterial &View, TRectManage &Engine, const TOffcutRule &Rule)
{
    View.SetDrawer(false);
    TDrawMaterialCollection &items = *View.Materials();
    items.BeginUpdate();
    TMaterialTypeList &strips = Engine.CreateRectList();
    for (int i = 0; i < strips.Count(); ++i) {
        TMaterialType &r = *strips.Items(i);
        if (r.Group() != View.Group())
            continue;
        const QString text = QString::fromStdString(r.Text());
        // The entered length lies along x unless the part lies turned.
        const int enteredLength = r.EnteredLengthShorter() ? std::min(r.Width(), r.Height())
                                                           : std::max(r.Width(), r.Height());
        const bool turned = r.Width() != r.Height() && r.Width() != enteredLength;
        TGrainDirection grain = TGrainDirection::None;
        if (r.Grain())
            grain = r.Width() == r.Height() && View.SheetGrain() != TGrainDirection::None
                ? View.SheetGrain()
                : turned ? TGrainDirection::AlongY
                         : TGrainDirection::AlongX;
        for (int k = 0; k < r.Count(); ++k) {
            TDrawMaterialItem *item = items.Add();
            item->SetText(text);
            item->SetTurned(turned);
            item->SetGrain(grain);
            item->SetWidth(r.Width());
            item->SetHeight(r.Height());
            // 64-bit steps: a strip that runs past the int range would be an engine fault, but
            // it must not wrap into a picture that looks plausible.
            if (r.Range() == TOrient::horizontal) {
                item->SetLeft(int(qBound<qint64>(qint64(INT_MIN),
                    r.X() + qint64(k) * (qint64(r.Width()) + r.Blade()), qint64(INT_MAX))));
                item->SetTop(r.Y());
            } else {
                item->SetLeft(r.X());
                item->SetTop(int(qBound<qint64>(qint64(INT_MIN),
                    r.Y() + qint64(k) * (qint64(r.Height()) + r.Blade()), qint64(INT_MAX))));
            }
        }
    }
    items.EndUpdate();
    View.SetCutPlan(std::make_shared<const TCutPlan>(MakeTrimmedCutPlan(View.MWidth(),
        View.MHeight(), View.Trim(), View.Blade(), LayoutParts(Engine, View.Group()), Rule)));
    View.SetDrawer(true);
}
