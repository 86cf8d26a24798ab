#pragma once
// What the control models need of a window system: modal and modeless windows, the closed
// notice and the lookup window. The Qt shell, the automation driver and the tests each
// provide one; TestWindowSystem and ScriptedLookupPresenter are the scripted ones.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/Recordset.h"

namespace kit {

class Form;

// One column of a lookup window: the recordset column, its heading and width (twips).
struct LookupField {
    std::string column;
    std::string caption;
    int width = 0;
};
using LookupFields = std::vector<LookupField>;

struct LookupRequest {
    std::string caption;                          // window caption
    LookupFields fields;                          // columns to show; empty = all
    std::shared_ptr<db::Recordset> recordset;     // the candidate rows (first column = key)
    std::string currentText;                      // what the box holds now
    std::string idLookup;                         // the box's IDLookup
};

class LookupPresenter {
public:
    virtual ~LookupPresenter() = default;
    // The 0-based row of request.recordset's view the user chose, or nothing (cancelled).
    virtual std::optional<long> pick(const LookupRequest& request) = 0;
};

// Answers from a queue (nothing when it is empty) and keeps every request.
class ScriptedLookupPresenter : public LookupPresenter {
public:
    void push(std::optional<long> answer) { answers_.push_back(answer); }
    std::optional<long> pick(const LookupRequest& request) override;
    const std::vector<LookupRequest>& requests() const { return requests_; }
    std::size_t pending() const { return answers_.size(); }

private:
    std::deque<std::optional<long>> answers_;
    std::vector<LookupRequest> requests_;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Returns only after the form closed (a nested loop in the window system).
    virtual void showModal(Form& form) = 0;
    virtual void showModeless(Form& form) = 0;
    // The form closed (after its Unload).
    virtual void formClosed(Form& form) = 0;
    virtual LookupPresenter& lookups() = 0;
    // A plain message box: `style` in the host's button and icon codes (0 OK only, 16 the
    // critical icon, ...). Returns the button pressed (1 OK).
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;
};

// For tests of any subsystem: showModal loads and activates the form, then runs the
// handler registered for the form's name (or the default one, which closes the form), and
// requires the form to be closed afterwards. Shown and closed forms are recorded by name.
class TestWindowSystem : public WindowSystem {
public:
    using Handler = std::function<void(Form&)>;

    void onModal(const std::string& formName, Handler h) { handlers_[formName] = std::move(h); }
    void setDefaultModal(Handler h) { defaultHandler_ = std::move(h); }

    void showModal(Form& form) override;
    void showModeless(Form& form) override;
    void formClosed(Form& form) override;
    LookupPresenter& lookups() override { return lookups_; }
    ScriptedLookupPresenter& scriptedLookups() { return lookups_; }
    // Answers 1 (OK) and keeps the box.
    int messageBox(const std::string& text, int style, const std::string& title) override;
    struct Box {
        std::string text;
        int style;
        std::string title;
    };
    const std::vector<Box>& boxes() const { return boxes_; }

    struct Shown {
        std::string name;
        bool modal;
    };
    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<std::string>& closed() const { return closed_; }

private:
    std::map<std::string, Handler> handlers_;
    Handler defaultHandler_;
    ScriptedLookupPresenter lookups_;
    std::vector<Shown> shown_;
    std::vector<std::string> closed_;
    std::vector<Box> boxes_;
};

}  // namespace kit
