#pragma once
// A layout source without any window: it follows the engine's layout notifications and keeps
// one hidden layout view per reported layout, set up as the results window sets up its views
// and drawn on request. The command-line tool's PDF output prints from it; tests and the demo
// program preview from it.

#include "CutPlan.h"
#include "LayoutSource.h"

#include <memory>
#include <vector>

class TEngineLayouts : public TLayoutSource
{
public:
    explicit TEngineLayouts(TRectManage &Engine);
    ~TEngineLayouts() override;
    TEngineLayouts(const TEngineLayouts &) = delete;
    TEngineLayouts &operator=(const TEngineLayouts &) = delete;

    // One layout notification of the engine: a view for a layout with a sheet kind (BCindex
    // within the engine's sheet kinds); the closing notification of an abnormal end (BCindex
    // -1) adds none.
    void OnNewRectList(int Group, int BCindex, int RectCount);
    // Forgets every view (before the next run).
    void Clear();
    // The run's overall-utilisation caption, as the caller computed it after a completed run.
    void SetUtilisationCaption(const QString &Caption) { FCaption = Caption; }
    // The smallest offcut the cut plans of its views keep as 余料 (default 200 x 200 mm; the
    // settings play no part, so output made from it is the same on every machine).
    void SetOffcutRule(const TOffcutRule &Rule) { FRule = Rule; }

    int LayoutCount() const override;
    TDrawMaterial *LayoutView(int i) const override;
    void DrawPanel(TDrawMaterial &View) override;
    QString UtilisationCaption() const override { return FCaption; }
    TRectManage &Engine() const override { return FEngine; }

private:
    TRectManage &FEngine;
    std::vector<std::unique_ptr<TDrawMaterial>> FViews;
    QString FCaption;
    TOffcutRule FRule;
};
