#include "kit/WindowSystem.h"

#include "kit/Form.h"

namespace kit {

std::optional<long> ScriptedLookupPresenter::pick(const LookupRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) return std::nullopt;
    auto a = answers_.front();
    answers_.pop_front();
    return a;
}

void TestWindowSystem::showModal(Form& form) {
    shown_.push_back({form.name(), true});
    form.load();
    form.activate();
    if (!form.isOpen()) return;   // it closed itself while activating
    auto it = handlers_.find(form.name());
    const Handler& h = it != handlers_.end() ? it->second : defaultHandler_;
    if (h)
        h(form);
    else
        form.close();
    if (form.isOpen())
        throw KitError("modal form " + form.name() + " is still open when its test handler returned");
}

void TestWindowSystem::showModeless(Form& form) {
    shown_.push_back({form.name(), false});
    form.load();
    form.activate();
}

void TestWindowSystem::formClosed(Form& form) { closed_.push_back(form.name()); }

int TestWindowSystem::messageBox(const std::string& text, int style, const std::string& title) {
    boxes_.push_back({text, style, title});
    return 1;
}

}  // namespace kit
