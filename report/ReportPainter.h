#pragma once
// Lays the correlation report out on the pages of a printer or PDF writer and paints it page
// by page: on every page the heading ("Pagina N di M") and the column headings, then as many
// rows as fit, an account's two sign rows never split across pages; the totals close the
// last page. Nothing is kept per row beyond the content itself, so a long report costs the
// same memory as a short one apart from its rows.

#include <array>
#include <vector>

#include <QFont>
#include <QString>

#include "report/ReportContent.h"

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace report {

// A4 portrait with the report's margins.
void setUpPage(QPagedPaintDevice& device);
// The report's font (DejaVu Sans) at `points`.
QFont reportFont(double points, bool bold);

class ReportPainter {
public:
    explicit ReportPainter(const ReportContent& content);

    // Splits the rows into pages of `device` (its page size, margins and resolution);
    // returns the page count.
    int paginate(const QPaintDevice& device);
    // Paints every page on `painter`, active on `device`; returns the page count.
    int paint(QPainter& painter, QPagedPaintDevice& device);

    // The first row of each page, after paginate.
    const std::vector<std::size_t>& pageStarts() const { return pageStarts_; }

private:
    struct Geometry {
        double width = 0, height = 0, mm = 0;
        double titleHeight = 0, headLine = 0, rowLine = 0, bodyTop = 0;
        double titleAscent = 0, headAscent = 0, rowAscent = 0;
        std::array<double, 5> columnX{}, columnWidth{};
        double padding = 0;
        long rowsPerPage = 0;
    };
    static constexpr int kTotalsLines = 5;

    void measure(const QPaintDevice& device);
    void paintHeading(QPainter& painter, int page, int pages) const;
    void paintRow(QPainter& painter, const WorkingRow& row, double top);
    void paintTotals(QPainter& painter, double top) const;
    // `text` cut with an ellipsis to the width of column `column` when it does not fit.
    QString fitted(const QString& text, int column);

    const ReportContent& content_;
    const QPaintDevice* device_ = nullptr;
    Geometry g_;
    QFont titleFont_, headFont_, headBoldFont_, rowFont_;
    std::array<double, 0x180> advance_{};   // row-font advances of the Latin characters
    std::vector<std::size_t> pageStarts_;
    bool totalsOnOwnPage_ = false;
    QString signTexts_[2];
};

}  // namespace report
