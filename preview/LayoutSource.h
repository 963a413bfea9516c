#pragma once
// What the preview and the print commands read from a finished run: the layout views in the
// order the engine reported them (view i has Group i + 1), a way to fill a view that has not
// been drawn yet, the caption of the run's overall utilisation, and the engine for the part
// summaries and layout groups. The results window is one such source; the command-line tool's
// PDF output is another, without any window.

#include <QString>

class TDrawMaterial;
class TRectManage;

class TLayoutSource
{
public:
    virtual ~TLayoutSource() = default;

    // Number of layout views.
    virtual int LayoutCount() const = 0;
    // View i (0-based, creation order), or nullptr outside 0 .. LayoutCount() - 1.
    virtual TDrawMaterial *LayoutView(int i) const = 0;
    // Fills a view whose drawn rectangles are still empty from the engine's strips.
    virtual void DrawPanel(TDrawMaterial &View) = 0;
    // The overall-utilisation caption of the run, "总利用率：81%" after a completed run, empty
    // before.
    virtual QString UtilisationCaption() const = 0;
    // The engine whose run the views show.
    virtual TRectManage &Engine() const = 0;
    // The project's order number and the scheme's name of the run, for the workshop printout
    // and labels; empty where not known.
    virtual QString ProjectNumber() const { return {}; }
    virtual QString SchemeName() const { return {}; }
};
