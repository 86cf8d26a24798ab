#include "gui/CheckGroups.h"

#include <iterator>
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
    for (mapping::CheckGroup g : mapping::kCheckGroups)
        groups.push_back({QString::fromUtf8(mapping::groupTitle(g)), mapping::isInformation(g), {}});
    for (const mapping::Finding& f : report.findings)
        for (std::size_t i = 0; i < std::size(mapping::kCheckGroups); ++i)
            if (mapping::kCheckGroups[i] == f.group)
                groups[i].rows.push_back({f.key, qs(f.shownAccount), qs(f.description), qs(f.target), qs(f.detail)});
    return groups;
#else
    (void)link;
    throw std::runtime_error("la verifica non è disponibile in questa versione del programma");
#endif
}

}  // namespace gui
