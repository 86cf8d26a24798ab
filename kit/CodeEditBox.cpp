#include "kit/CodeEditBox.h"

#include <cctype>

#include "db/Error.h"
#include "kit/ConnectionCache.h"
#include "kit/Form.h"
#include "text/Text.h"
#include "kit/FlagScope.h"
#include "kit/LookupStart.h"

namespace kit {

namespace {

std::shared_ptr<Control> resolveTarget(const Form& form, const DecodeField& f) {
    if (f.target) return f.target;
    return form.find(f.targetName);
}

}  // namespace

CodeEditBox::CodeEditBox(Form& form, std::string name) : Control(form, std::move(name)) {
    menu_.push_back({"Kgestione", "Gestione", true});
}

void CodeEditBox::setText(const std::string& text) {
    if (!assignText(text)) return;
    needsDecode_ = true;
    pending_ = true;
    setDecoded(false);
    // No code, no description: what the last decode wrote goes with the text.
    if (text.empty()) clearDecodedTargets();
}

void CodeEditBox::clearDecodedTargets() {
    auto targets = std::move(decodedInto_);
    decodedInto_.clear();
    for (const auto& weak : targets)
        if (auto target = weak.lock()) target->setText("");
}

void CodeEditBox::enterText(const std::string& text) {
    setText(text);
    userEdited();
}

std::string CodeEditBox::displayText() const {
    if (!upperCase_) return Text();
    return text::toUpperAscii(Text());
}

void CodeEditBox::setIDLookup(const std::string& id) {
    if (id == idLookup_) return;
    idLookup_ = id;
    changed("IDLookup");
}

void CodeEditBox::setUpperCase(bool u) {
    if (u == upperCase_) return;
    upperCase_ = u;
    changed("UpperCase");
}

void CodeEditBox::setMandatory(bool m) {
    if (m == mandatory_) return;
    mandatory_ = m;
    changed("Mandatory");
}

void CodeEditBox::setCanRequired(bool c) {
    if (c == canRequired_) return;
    canRequired_ = c;
    changed("CanRequired");
}

void CodeEditBox::setDecoded(bool d) {
    if (d == decoded_) return;
    decoded_ = d;
    changed("IsDecoded");
}

void CodeEditBox::setError(std::string e) {
    if (e == lastError_) return;
    lastError_ = std::move(e);
    changed("lastError");
}

void CodeEditBox::writeTargets(const DecodeFields& fields, db::Recordset* row) {
    std::string missing;
    decodedInto_.clear();
    for (const auto& f : fields) {
        auto target = resolveTarget(form(), f);
        if (!target) {
            missing = "no control named " + f.targetName + " for the decoded column " + f.column;
            continue;
        }
        if (target.get() != this) decodedInto_.push_back(target);
        std::string value;
        if (row) {
            if (row->fields().contains(f.column))
                value = row->value(f.column).toText();
            else
                missing = "the decode statement returned no column " + f.column;
        }
        target->setText(value);
    }
    if (!missing.empty()) setError(missing);
}

void CodeEditBox::decode() {
    needsDecode_ = false;
    pending_ = true;
    if (Text().empty()) {
        setError("");
        setDecoded(false);
        return;
    }
    bool cancel = false;
    std::string sql, connect;
    DecodeFields fields;
    StartDecode.raise(cancel, sql, fields, connect);
    if (cancel) return;   // the form decodes this box itself
    if (sql.empty()) {
        setError("");
        setDecoded(false);
        return;
    }
    try {
        auto rs = runBoxQuery(sql, connect, connection_);
        bool found = rs && rs->State() == db::ado::adStateOpen && !rs->Eof();
        setError("");
        writeTargets(fields, found ? rs.get() : nullptr);
        setDecoded(found);
    } catch (const std::exception& e) {
        setError(describeFailure(e));
        try {
            writeTargets(fields, nullptr);
        } catch (const std::exception&) {
            // clearing the targets is best effort
        }
        setDecoded(false);
    }
}

void CodeEditBox::Redecode() { decode(); }

void CodeEditBox::addDecodedTarget(std::shared_ptr<Control> target) {
    if (target && target.get() != this) decodedInto_.push_back(std::move(target));
}

bool CodeEditBox::runAcceptance() {
    // A handler that moves the focus away (AfterItem confirming a field) makes the box leave
    // while its acceptance runs: that leave must not run the acceptance a second time.
    FlagScope accepting(accepting_);
    bool cancel = false;
    Validate.raise(cancel);
    if (cancel) return false;
    AfterItem.raise(cancel);
    return !cancel;
}

bool CodeEditBox::OpenLookup() {
    if (!effectivelyEnabled()) return false;
    const auto start = startLookup(StartLookup);
    if (!start) return false;
    std::shared_ptr<db::Recordset> rs;
    try {
        rs = runBoxQuery(start->sql, start->connect, connection_);
    } catch (const std::exception& e) {
        setError(describeFailure(e));
        return false;
    }
    if (!rs || rs->State() != db::ado::adStateOpen) {
        setError("la ricerca non ha trovato righe");
        return false;
    }
    auto* ws = form().windowSystemOrNull();
    if (!ws) {
        setError("nessuna finestra in cui mostrare la ricerca");
        return false;
    }
    auto choice = ws->lookups().pick(LookupRequest{start->caption, start->fields, rs, Text(), idLookup_});
    if (!choice || *choice < 0 || *choice >= rs->viewSize()) return false;
    const db::RowRef row = rs->viewRow(*choice);
    if (row.empty()) return false;
    enterText(row.front().toText());
    decode();
    return true;
}

void CodeEditBox::AddMenuEntry(int id, const std::string& caption, bool enabled) {
    std::string key = "Kpers" + std::to_string(id);
    for (auto& e : menu_)
        if (e.key == key) {
            e.caption = caption;
            e.enabled = enabled;
            changed("Menu");
            return;
        }
    menu_.push_back({key, caption, enabled});
    changed("Menu");
}

void CodeEditBox::setMenuEntryEnabled(const std::string& key, bool enabled) {
    for (auto& e : menu_)
        if (e.key == key) {
            e.enabled = enabled;
            changed("Menu");
            return;
        }
    throw KitError("box " + name() + " has no menu key " + key);
}

bool CodeEditBox::pressMenuKey(const std::string& key) {
    for (auto& e : menu_)
        if (e.key == key) {
            if (!e.enabled || !effectivelyEnabled()) return false;
            KeyButtonMenuPress.raise(key);
            return true;
        }
    throw KitError("box " + name() + " has no menu key " + key);
}

bool CodeEditBox::confirm() {
    if (needsDecode_) decode();
    if (!runAcceptance()) return false;
    pending_ = false;
    if (hasFocus()) form().tab(true);
    return true;
}

void CodeEditBox::leaveFocus(bool& cancel) {
    // An empty box, mandatory or not, lets the focus go: the window checks a missing code
    // where it needs one, with its own message.
    if (needsDecode_ && !accepting_) decode();
    if (pending_ && !accepting_) {
        if (!runAcceptance()) {
            cancel = true;
            return;
        }
        pending_ = false;
    }
    LostFocus.raise(cancel);
}

bool CodeEditBox::processKey(int key, int shift) {
    Control::processKey(key, shift);
    if (!hasFocus()) return true;
    if (key == keys::Enter) {
        confirm();
        return true;
    }
    if (key == keys::F4 || key == keys::F9) {
        OpenLookup();
        return true;
    }
    return false;
}

}  // namespace kit
