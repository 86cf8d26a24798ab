#include "report/ReportPainter.h"

#include <cmath>

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

namespace report {

namespace {

constexpr double kMarginMm = 12;
const char* const kFontFamily = "DejaVu Sans";
const char* const kColumns[5] = {"Conto contabile", "Descrizione conto contabile", "Segno", "Conto riclassificato",
                                 "Descrizione conto riclassificato"};
// Column starts as shares of the printable width.
constexpr std::array<double, 6> kColumnShare = {0.0, 0.15, 0.43, 0.50, 0.69, 1.0};

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

QFont reportFont(double points, bool bold) {
    QFont f(QString::fromLatin1(kFontFamily));
    f.setPointSizeF(points);
    f.setBold(bold);
    // Plain Latin text needs no shaping: no ligatures ("fi" stays two letters that a reader
    // can search and copy), no kerning, and the width of a text is the sum of its letters.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

void setUpPage(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

ReportPainter::ReportPainter(const ReportContent& content)
    : content_(content),
      titleFont_(reportFont(11, true)),
      headFont_(reportFont(8, false)),
      headBoldFont_(reportFont(8, true)),
      rowFont_(reportFont(7.5, false)) {
    signTexts_[0] = QString::fromUtf8(signText(1));
    signTexts_[1] = QString::fromUtf8(signText(2));
}

void ReportPainter::measure(const QPaintDevice& device) {
    device_ = &device;
    auto* d = const_cast<QPaintDevice*>(&device);   // the metrics only read the device
    QFontMetricsF title(titleFont_, d), head(headFont_, d), row(rowFont_, d);
    g_.width = device.width();
    g_.height = device.height();
    g_.mm = device.logicalDpiY() / 25.4;
    g_.padding = 1.5 * g_.mm;
    g_.titleHeight = title.height() * 1.4;
    g_.titleAscent = title.ascent();
    g_.headLine = head.height() * 1.3;
    g_.headAscent = head.ascent();
    g_.rowLine = row.height() * 1.25;
    g_.rowAscent = row.ascent();
    for (std::size_t c = 0; c < 5; ++c) {
        g_.columnX[c] = kColumnShare[c] * g_.width;
        g_.columnWidth[c] = (kColumnShare[c + 1] - kColumnShare[c]) * g_.width - g_.padding;
    }
    // Title, the company and time line, the other heading lines, a gap, the column headings
    // between two rules.
    const double headingLines = 1.0 + static_cast<double>(content_.heading.size());
    g_.bodyTop = g_.titleHeight + headingLines * g_.headLine + 2 * g_.mm + g_.headLine + 2 * g_.mm;
    g_.rowsPerPage = std::max(4L, static_cast<long>(std::floor((g_.height - g_.bodyTop) / g_.rowLine)));
    for (std::size_t c = 0; c < advance_.size(); ++c) advance_[c] = row.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

int ReportPainter::paginate(const QPaintDevice& device) {
    measure(device);
    pageStarts_.assign(1, 0);
    const auto& rows = content_.rows;
    long used = 0;
    for (std::size_t i = 0; i < rows.size();) {
        // An account's rows (one per sign) stay together.
        std::size_t group = 1;
        while (i + group < rows.size() && rows[i + group].contoPdc == rows[i].contoPdc) ++group;
        const long size = static_cast<long>(group);
        if (used > 0 && used + size > g_.rowsPerPage) {
            pageStarts_.push_back(i);
            used = 0;
        }
        used += size;
        i += group;
    }
    const long closing = kTotalsLines + (rows.empty() ? 1 : 0);
    totalsOnOwnPage_ = used > 0 && used + closing > g_.rowsPerPage;
    if (totalsOnOwnPage_) pageStarts_.push_back(rows.size());
    return static_cast<int>(pageStarts_.size());
}

int ReportPainter::paint(QPainter& painter, QPagedPaintDevice& device) {
    const int pages = paginate(device);
    const auto& rows = content_.rows;
    for (int p = 0; p < pages; ++p) {
        if (p > 0) device.newPage();
        paintHeading(painter, p + 1, pages);
        const std::size_t first = pageStarts_[static_cast<std::size_t>(p)];
        const std::size_t end = p + 1 < pages ? pageStarts_[static_cast<std::size_t>(p) + 1] : rows.size();
        painter.setFont(rowFont_);
        double top = g_.bodyTop;
        for (std::size_t i = first; i < end; ++i, top += g_.rowLine) paintRow(painter, rows[i], top);
        if (p + 1 == pages) paintTotals(painter, totalsOnOwnPage_ ? g_.bodyTop : top);
    }
    return pages;
}

void ReportPainter::paintHeading(QPainter& painter, int page, int pages) const {
    const QString pageText = QStringLiteral("Pagina %1 di %2").arg(page).arg(pages);
    const QString timeText = QStringLiteral("Stampata il %1").arg(q(content_.printedAt));
    painter.setFont(headFont_);
    QFontMetricsF head(headFont_, painter.device());
    painter.drawText(QPointF(g_.width - head.horizontalAdvance(pageText), g_.titleAscent), pageText);
    painter.setFont(titleFont_);
    painter.drawText(QPointF(0, g_.titleAscent), q(content_.title));

    double top = g_.titleHeight;
    QFontMetricsF bold(headBoldFont_, painter.device());
    for (std::size_t i = 0; i < content_.heading.size(); ++i, top += g_.headLine) {
        const QString label = q(content_.heading[i].label) + QStringLiteral(": ");
        painter.setFont(headBoldFont_);
        painter.drawText(QPointF(0, top + g_.headAscent), label);
        painter.setFont(headFont_);
        painter.drawText(QPointF(bold.horizontalAdvance(label), top + g_.headAscent), q(content_.heading[i].value));
        if (i == 0) painter.drawText(QPointF(g_.width - head.horizontalAdvance(timeText), top + g_.headAscent), timeText);
    }
    top += g_.headLine + 1 * g_.mm;
    const QPen rule(Qt::black, 0.2 * g_.mm);
    painter.setPen(rule);
    painter.drawLine(QPointF(0, top), QPointF(g_.width, top));
    top += 1 * g_.mm;
    painter.setFont(headBoldFont_);
    for (std::size_t c = 0; c < 5; ++c) painter.drawText(QPointF(g_.columnX[c], top + g_.headAscent), QString::fromUtf8(kColumns[c]));
    top += g_.headLine;
    painter.drawLine(QPointF(0, top), QPointF(g_.width, top));
}

QString ReportPainter::fitted(const QString& text, int column) {
    const double room = g_.columnWidth[static_cast<std::size_t>(column)];
    double width = 0;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u >= advance_.size()) {
            width = room + 1;   // measure it for real below
            break;
        }
        width += advance_[u];
    }
    if (width <= room) return text;
    QFontMetricsF row(rowFont_, const_cast<QPaintDevice*>(device_));
    return row.horizontalAdvance(text) <= room ? text : row.elidedText(text, Qt::ElideRight, room);
}

void ReportPainter::paintRow(QPainter& painter, const WorkingRow& row, double top) {
    const double y = top + g_.rowAscent;
    if (row.contoPdcGrid) {
        painter.drawText(QPointF(g_.columnX[0], y), fitted(q(row.displayCode), 0));
        painter.drawText(QPointF(g_.columnX[1], y), fitted(q(row.descrPdcGrid.value_or("")), 1));
    }
    if (row.segno == 1 || row.segno == 2) painter.drawText(QPointF(g_.columnX[2], y), signTexts_[row.segno - 1]);
    if (row.contoRicl && !row.contoRicl->empty()) {
        painter.drawText(QPointF(g_.columnX[3], y), fitted(q(*row.contoRicl), 3));
        if (row.descrRicl) painter.drawText(QPointF(g_.columnX[4], y), fitted(q(*row.descrRicl), 4));
    }
}

void ReportPainter::paintTotals(QPainter& painter, double top) const {
    const auto& t = content_.totals;
    if (content_.rows.empty()) {
        painter.setFont(headFont_);
        painter.drawText(QPointF(0, top + g_.rowAscent), QStringLiteral("Nessun conto da stampare nel piano dei conti scelto."));
        top += g_.rowLine;
    }
    top += g_.rowLine * 0.5;
    painter.setPen(QPen(Qt::black, 0.2 * g_.mm));
    painter.drawLine(QPointF(0, top), QPointF(g_.width, top));
    top += g_.rowLine * 0.5;
    painter.setFont(headBoldFont_);
    painter.drawText(QPointF(0, top + g_.headAscent), QStringLiteral("Totali"));
    painter.setFont(headFont_);
    const QString lines[3] = {
        QStringLiteral("Conti: %1").arg(t.accounts),
        QStringLiteral("Dare: %1 righe correlate, %2 senza correlazione").arg(t.correlated[0]).arg(t.uncorrelated[0]),
        QStringLiteral("Avere: %1 righe correlate, %2 senza correlazione").arg(t.correlated[1]).arg(t.uncorrelated[1]),
    };
    for (const auto& line : lines) {
        top += g_.rowLine;
        painter.drawText(QPointF(0, top + g_.headAscent), line);
    }
}

}  // namespace report
