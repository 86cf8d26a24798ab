#include "kit/GridNavigator.h"

#include <algorithm>

#include "db/Recordset.h"
#include "kit/RecordFrame.h"

namespace kit {

void GridNavigator::Init(std::shared_ptr<db::Object>& hostInterface, RecordFrame* frame) {
    hostInterface_ = hostInterface;
    frame_ = frame;
    detached_ = false;
}

void GridNavigator::setOptions(const std::array<bool, 7>& options) {
    options_ = options;
    changed("Options");
}

void GridNavigator::setDetached(bool d) {
    if (d == detached_) return;
    detached_ = d;
    changed("Detached");
}

const std::vector<std::string>& GridNavigator::buttonNames() {
    static const std::vector<std::string> names{"primo", "precedente", "successivo", "ultimo", "apri", "Nuovo"};
    return names;
}

void GridNavigator::act(const std::string& button) {
    if (detached_ || !frame_) return;
    if (button == "Nuovo") {
        frame_->AddNew();
        return;
    }
    if (button == "apri") {
        frame_->setStatus(StatusShowing);
        return;
    }
    auto rs = frame_->recordset();
    if (!rs || rs->State() != db::ado::adStateOpen || rs->RecordCount() <= 0) return;
    long count = rs->viewSize();
    long cur = rs->currentIndex();   // -1 BOF, count EOF
    if (button == "primo") {
        if (cur != 0) rs->MoveFirst();
    } else if (button == "precedente") {
        if (cur > 0) rs->MovePrevious();
    } else if (button == "successivo") {
        if (cur < count - 1) rs->MoveNext();
    } else if (button == "ultimo") {
        if (cur != count - 1) rs->MoveLast();
    }
}

bool GridNavigator::press(const std::string& button) {
    const auto& names = buttonNames();
    if (std::find(names.begin(), names.end(), button) == names.end())
        throw KitError("navigator " + name() + " has no button " + button);
    if (!effectivelyVisible() || !effectivelyEnabled()) return false;
    act(button);
    ButtonPressed.raise(button);
    AfterAction.raise();
    return true;
}

}  // namespace kit
