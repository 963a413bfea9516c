#include "CutsOutput.h"

#include "CutPlan.h"
#include "TypeSetClass.h"

#include <unordered_set>

namespace cli {

std::string FormatCuts(TRectManage &Engine)
{
    std::string Out;
    const std::vector<TCutPlan> Plans = MakeCutPlans(Engine);
    TMaterialTypeList &Groups = Engine.GroupList();
    std::unordered_set<int> WithStrips;
    for (int i = 0; i < Engine.CreateRectList().Count(); ++i)
        WithStrips.insert(Engine.CreateRectList().GetItem(i)->Group());
    const auto Record = [&Out](const char *Tag, std::initializer_list<long long> Numbers) {
        Out += Tag;
        for (const long long N : Numbers)
            Out += ' ' + std::to_string(N);
        Out += '\n';
    };
    for (int k = 0; k < Groups.Count(); ++k) {
        const int G = Groups.GetItem(k)->Group();
        if (!WithStrips.count(G))
            continue;
        const TCutPlan &P = Plans[static_cast<std::size_t>(k)];
        if (!P.Cuttable) {
            Out += "cuts " + std::to_string(G) + " none\n";
            continue;
        }
        for (const TCut &C : P.Cuts)
            Record("cut", { G, C.Number, C.X1, C.Y1, C.X2, C.Y2 });
        for (const TOffcut &O : P.Offcuts)
            Record("offcut", { G, O.X, O.Y, O.Width, O.Height });
    }
    return Out;
}

} // namespace cli
