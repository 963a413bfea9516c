#include "EngineLayouts.h"

#include "DrawMaterial.h"
#include "LayoutFromEngine.h"
#include "TypeSetClass.h"

TEngineLayouts::TEngineLayouts(TRectManage &Engine)
    : FEngine(Engine)
{ }

TEngineLayouts::~TEngineLayouts() = default;

void TEngineLayouts::OnNewRectList(int Group, int BCindex, int RectCount)
{
    if (BCindex < 0)
        return;
    TMaterialType *sheet = FEngine.BCTypeList().GetItem(BCindex);
    if (!sheet)
        return;
    auto view = std::make_unique<TDrawMaterial>();
    view->hide();
    SetupLayoutView(*view, *sheet, Group, RectCount);
    FViews.push_back(std::move(view));
}

void TEngineLayouts::Clear()
{
    FViews.clear();
    FCaption.clear();
}

int TEngineLayouts::LayoutCount() const
{
    return int(FViews.size());
}

TDrawMaterial *TEngineLayouts::LayoutView(int i) const
{
    if (i < 0 || i >= LayoutCount())
        return nullptr;
    return FViews[std::size_t(i)].get();
}

void TEngineLayouts::DrawPanel(TDrawMaterial &View)
{
    ::DrawPanel(View, FEngine, FRule);
}
