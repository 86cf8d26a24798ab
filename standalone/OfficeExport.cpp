#include "standalone/OfficeExport.h"

#include <algorithm>

#include <xlsxwriter.h>

#include "standalone/HostEventLog.h"

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
                                   const std::vector<std::vector<db::Variant>>& rows,
                                   const std::string& sectionCaption) {
    ExportSection s;
    s.kind = ExportSection::Kind::Detail;
    s.caption = sectionCaption;
    s.captions = captions;
    s.rows = rows;
    sections_.push_back(std::move(s));
    if (log_) log_->record("exportSection", {{"kind", "detail"}, {"caption", sectionCaption},
                                             {"columns", captions.size()}, {"rows", rows.size()}});
}

void OfficeExport::clear() {
    title_.clear();
    sections_.clear();
}

namespace {

class Writer {
public:
    explicit Writer(lxw_worksheet* sheet) : sheet_(sheet) {}

    void text(lxw_row_t row, lxw_col_t col, const std::string& s, lxw_format* f = nullptr) {
        check(worksheet_write_string(sheet_, row, col, s.c_str(), f));
    }

    void value(lxw_row_t row, lxw_col_t col, const db::Variant& v) {
        switch (v.type()) {
            case db::Variant::Type::Empty:
            case db::Variant::Type::Null:
            case db::Variant::Type::Object: return;
            case db::Variant::Type::Integer:
            case db::Variant::Type::Double:
            case db::Variant::Type::Decimal: {
                check(worksheet_write_number(sheet_, row, col, v.toDouble(), nullptr));
                return;
            }
            case db::Variant::Type::Boolean: check(worksheet_write_boolean(sheet_, row, col, v.toBool(), nullptr)); return;
            case db::Variant::Type::Text: text(row, col, v.toText()); return;
        }
    }

    lxw_error error() const { return error_; }

private:
    void check(lxw_error e) {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR) error_ = e;
    }
    lxw_worksheet* sheet_;
    lxw_error error_ = LXW_NO_ERROR;
};

}  // namespace

void OfficeExport::writeXlsx(const std::filesystem::path& file) const {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;   // rows are written in order; keeps big exports small
    std::string tmp = std::filesystem::temp_directory_path().string();
    options.tmpdir = tmp.data();
    std::string path = file.string();
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) throw ExportError("cannot create the workbook " + path);
    lxw_worksheet* sheet = workbook_add_worksheet(wb, "Esportazione");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    // In constant-memory mode column widths must be set before any cell is written, so they
    // are computed from the data first (libxlsxwriter has no autofit).
    std::vector<std::size_t> widths;
    auto widen = [&](std::size_t col, std::size_t len) {
        if (widths.size() <= col) widths.resize(col + 1, 0);
        widths[col] = std::max(widths[col], len);
    };
    for (const auto& s : sections_) {
        if (s.kind == ExportSection::Kind::Master) {
            for (const auto& c : s.captions) widen(0, c.size());
            for (const auto& v : s.values) widen(1, v.isObject() ? 0 : v.toText().size());
        } else {
            for (std::size_t c = 0; c < s.captions.size(); ++c) widen(c, s.captions[c].size());
            for (const auto& r : s.rows)
                for (std::size_t c = 0; c < r.size(); ++c) widen(c, r[c].isObject() ? 0 : r[c].toText().size());
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c) {
        double w = std::clamp(static_cast<double>(widths[c]) + 2.0, 8.0, 80.0);
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), w, nullptr);
    }

    Writer out(sheet);
    lxw_row_t row = 0;
    if (!title_.empty()) {
        out.text(row, 0, title_, bold);
        row += 2;
    }
    for (const auto& s : sections_) {
        if (!s.caption.empty()) out.text(row++, 0, s.caption, bold);
        if (s.kind == ExportSection::Kind::Master) {
            for (std::size_t i = 0; i < s.captions.size(); ++i, ++row) {
                out.text(row, 0, s.captions[i]);
                if (i < s.values.size()) out.value(row, 1, s.values[i]);
            }
        } else {
            for (std::size_t c = 0; c < s.captions.size(); ++c)
                out.text(row, static_cast<lxw_col_t>(c), s.captions[c], bold);
            ++row;
            for (const auto& r : s.rows) {
                for (std::size_t c = 0; c < r.size(); ++c) out.value(row, static_cast<lxw_col_t>(c), r[c]);
                ++row;
            }
        }
        ++row;   // a blank row between sections
    }
    lxw_error cellError = out.error();
    lxw_error closeError = workbook_close(wb);
    if (cellError != LXW_NO_ERROR)
        throw ExportError("cannot write the workbook " + path + ": " + lxw_strerror(cellError));
    if (closeError != LXW_NO_ERROR)
        throw ExportError("cannot write the workbook " + path + ": " + lxw_strerror(closeError));
}

}  // namespace standalone
