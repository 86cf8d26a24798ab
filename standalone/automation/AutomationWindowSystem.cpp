#include "standalone/automation/AutomationWindowSystem.h"

#include <algorithm>
#include <cctype>

#include "db/Recordset.h"
#include "standalone/HostEventLog.h"
#include "standalone/automation/JsonValues.h"
#include "text/Text.h"

namespace standalone {

std::optional<long> AutomationLookupPresenter::pick(const kit::LookupRequest& request) {
    LookupSnapshot snap;
    snap.caption = request.caption;
    snap.idLookup = request.idLookup;
    snap.currentText = request.currentText;
    snap.columns = request.fields;
    std::shared_ptr<db::Recordset> rs = request.recordset;
    if (rs && rs->State() == db::ado::adStateOpen) {
        auto& fields = rs->fields();
        for (long i = 0; i < fields.Count(); ++i) snap.fieldNames.push_back(fields.Item(i).Name());
        snap.rowCount = rs->viewSize();
        long copy = std::min<long>(snap.rowCount, static_cast<long>(maxRows_));
        for (long r = 0; r < copy; ++r) {
            nlohmann::json row = nlohmann::json::array();
            for (const auto& v : rs->viewRow(r)) row.push_back(automation::toJson(v));
            snap.rows.push_back(std::move(row));
        }
    }

    std::optional<long> answer;
    if (!choices_.empty()) {
        LookupChoice c = std::move(choices_.front());
        choices_.pop_front();
        if (auto* r = std::get_if<long>(&c.choice)) {
            if (*r >= 0 && *r < snap.rowCount) answer = *r;
        } else if (auto* code = std::get_if<std::string>(&c.choice)) {
            for (long r = 0; rs && r < snap.rowCount; ++r) {
                const db::RowRef row = rs->viewRow(r);
                if (!row.empty() && row.front().toText() == *code) {
                    answer = r;
                    break;
                }
            }
        }
    }
    snap.picked = answer.value_or(-1);
    shown_.push_back(std::move(snap));
    return answer;
}

void AutomationWindowSystem::add(kit::Form& form, bool modal) {
    windows_.push_back({&form, modal, {}, false});
    opened_.push_back(form.name());
    if (log_) log_->record("windowOpened", {{"window", form.name()}, {"hWnd", form.hWnd()}, {"modal", modal}});
}

void AutomationWindowSystem::takeSentinel(kit::Form& form) {
    for (auto& w : windows_)
        if (w.form == &form && !w.hasSentinel && !form.controls().empty()) {
            w.sentinel = form.controls().front();
            w.hasSentinel = true;
        }
}

void AutomationWindowSystem::focusFirstStop(kit::Form& form) {
    // As a desktop window system does: an opened window gives the focus to its first tab stop.
    if (isOpen(&form) && !form.focused()) form.tab(true);
}

void AutomationWindowSystem::prune() const {
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->hasSentinel && it->sentinel.expired()) {
            if (log_) log_->record("windowLost", {{"reason", "released without being closed"}});
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
}

const std::vector<AutomationWindowSystem::Window>& AutomationWindowSystem::windows() const {
    prune();
    return windows_;
}

void AutomationWindowSystem::showModal(kit::Form& form) {
    add(form, true);
    form.load();
    takeSentinel(form);
    form.activate();
    focusFirstStop(form);
    if (!isOpen(&form)) return;   // it closed itself while activating
    // The program may release the window while its loop runs: it is named as it was opened.
    const std::string name = form.name();
    const long handle = form.hWnd();
    if (modalLoop_) {
        modalLoop_(form);
    } else {
        form.close();
    }
    if (log_) log_->record("modalReturned", {{"window", name}, {"hWnd", handle}});
}

void AutomationWindowSystem::showModeless(kit::Form& form) {
    add(form, false);
    form.load();
    takeSentinel(form);
    form.activate();
    focusFirstStop(form);
}

void AutomationWindowSystem::formClosed(kit::Form& form) {
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const Window& w) { return w.form == &form; });
    if (it == windows_.end()) return;
    windows_.erase(it);
    closed_.push_back(form.name());
    if (log_) log_->record("windowClosed", {{"window", form.name()}, {"hWnd", form.hWnd()}});
}

int AutomationWindowSystem::messageBox(const std::string& text, int style, const std::string& title) {
    if (!dialogs_) return 1;
    host::MessageBoxRequest request;
    request.text = text;
    request.type = style;
    request.title = title;
    return dialogs_->message(request);
}

bool AutomationWindowSystem::isOpen(const kit::Form* form) const {
    prune();
    return std::any_of(windows_.begin(), windows_.end(), [&](const Window& w) { return w.form == form; });
}

kit::Form* AutomationWindowSystem::findByName(const std::string& name) const {
    prune();
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if (text::equalsIgnoreCaseAscii(it->form->name(), name)) return it->form;
    return nullptr;
}

kit::Form* AutomationWindowSystem::findByHandle(long hwnd) const {
    prune();
    for (const auto& w : windows_)
        if (w.form->hWnd() == hwnd) return w.form;
    return nullptr;
}

kit::Form* AutomationWindowSystem::top() const {
    prune();
    return windows_.empty() ? nullptr : windows_.back().form;
}

}  // namespace standalone
