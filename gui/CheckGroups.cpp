#include "gui/CheckGroups.h"

#include <stdexcept>

#include "gui/Support.h"

#if __has_include("mapping/Check.h")
#include "mapping/Check.h"
#define BREVANTO_HAS_CHECK 1
#endif

namespace gui {

std::vector<CheckGroup> checkGroups(mapping::EditorLink& link) {
#ifdef BREVANTO_HAS_CHECK
    const mapping::ChartData data = link.load();
    const mapping::CheckReport report = mapping::checkCorrelations(link.connection(), data);
    std::vector<CheckGroup> groups;
    for (const auto& g : report.groups) {
        CheckGroup group;
        group.title = qs(g.title);
        group.information = g.information;
        for (const auto& f : g.findings)
            group.rows.push_back({f.key, qs(f.shownAccount), qs(f.description), qs(f.target), qs(f.detail)});
        groups.push_back(std::move(group));
    }
    return groups;
#else
    (void)link;
    throw std::runtime_error("la verifica non è disponibile in questa versione del programma");
#endif
}

}  // namespace gui
