#include "gui/CheckGroups.h"

#include <iterator>

#include "gui/Support.h"
#include "mapping/Check.h"

namespace gui {

std::vector<CheckGroup> checkGroups(mapping::EditorLink& link) {
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
}

}  // namespace gui
