#include "standalone/OfficeExport.h"

#include "standalone/HostEventLog.h"
#include "standalone/XlsxWorkbook.h"

namespace standalone {

void OfficeExport::setTitoloMaster(const std::string& title) {
    title_ = title;
    if (log_) log_->record("exportTitle", {{"title", title}});
}

void OfficeExport::addMasterDetail(const std::vector<std::string>& captions, const std::vector<db::Variant>& values,
                                   const std::string& sectionCaption) {
    ExportSection s;
    s.kind = ExportSection::Kind::Master;
    s.caption = sectionCaption;
    s.captions = captions;
    s.values = values;
    sections_.push_back(std::move(s));
    if (log_) log_->record("exportSection", {{"kind", "master"}, {"caption", sectionCaption},
                                             {"columns", captions.size()}, {"rows", 1}});
}

void OfficeExport::addMasterDetail(const std::vector<std::string>& captions,
                                   std::vector<std::vector<db::Variant>> rows, const std::string& sectionCaption) {
    ExportSection s;
    s.kind = ExportSection::Kind::Detail;
    s.caption = sectionCaption;
    s.captions = captions;
    s.rows = std::move(rows);
    const std::size_t count = s.rows.size();
    sections_.push_back(std::move(s));
    if (log_) log_->record("exportSection", {{"kind", "detail"}, {"caption", sectionCaption},
                                             {"columns", captions.size()}, {"rows", count}});
}

std::size_t OfficeExport::detailRowCount() const {
    std::size_t n = 0;
    for (const auto& s : sections_)
        if (s.kind == ExportSection::Kind::Detail) n += s.rows.size();
    return n;
}

void OfficeExport::clear() {
    title_.clear();
    sections_.clear();
}

void OfficeExport::writeXlsx(const std::filesystem::path& file) const { writeWorkbook(file, title_, sections_); }

}  // namespace standalone
