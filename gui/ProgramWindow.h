#pragma once
// The host programs a code field opens (chart and account maintenance, intercompany
// structures), shown in the stand-alone shell as a browsing window over the request's rows.
// When a box waits for a choice, the chosen row's key goes back to it.

#include <QPointer>
#include <QWidget>

#include "host/ProgramPresenter.h"

namespace gui {

class QtProgramPresenter : public host::ProgramPresenter {
public:
    explicit QtProgramPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> run(const host::ProgramRequest& request) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace gui
