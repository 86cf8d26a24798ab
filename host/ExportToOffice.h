#pragma once
// The host's export object: a title and sections of captions with values (master) or with
// rows (detail), later written to an office document.

#include <string>
#include <vector>

#include "db/Variant.h"

namespace host {

class ExportToOffice : public db::Object {
public:
    ~ExportToOffice() override = default;
    // TITOLOMASTER
    virtual void setTitoloMaster(const std::string& title) = 0;
    virtual std::string titoloMaster() const = 0;
    // Master section: one value per caption.
    virtual void addMasterDetail(const std::vector<std::string>& captions,
                                 const std::vector<db::Variant>& values,
                                 const std::string& sectionCaption) = 0;
    // Detail section: rows of one value per caption. The rows are handed over (a list can
    // hold hundreds of thousands of them: the export keeps them without a copy).
    virtual void addMasterDetail(const std::vector<std::string>& captions,
                                 std::vector<std::vector<db::Variant>> rows,
                                 const std::string& sectionCaption) = 0;
};

}  // namespace host
