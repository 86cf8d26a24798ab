#pragma once
// Where a finished correlation report goes when no PDF file was asked for: the desktop shows
// it in a print preview, from which the user prints it or saves it.

#include "report/ReportContent.h"

namespace report {

class ReportOutput {
public:
    virtual ~ReportOutput() = default;
    // Returns the page count delivered (0 when the user dropped it).
    virtual int deliver(const ReportContent& content) = 0;
};

}  // namespace report
