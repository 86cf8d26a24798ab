#pragma once
// A code field: the user types a code, the box decodes it (the form answers StartDecode with
// the statement, the target fields and the connection string), validates it on leaving and
// offers a lookup window and a key-button menu.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "kit/Control.h"
#include "kit/WindowSystem.h"

namespace kit {

// Where a decoded column goes: a control given by object or by name on the box's form.
struct DecodeField {
    std::string column;
    std::shared_ptr<Control> target;
    std::string targetName;   // used when target is null

    DecodeField(std::string col, std::shared_ptr<Control> t) : column(std::move(col)), target(std::move(t)) {}
    DecodeField(std::string col, std::string name) : column(std::move(col)), targetName(std::move(name)) {}
};
using DecodeFields = std::vector<DecodeField>;

struct MenuEntry {
    std::string key;       // "Kgestione", "Kpers<id>"
    std::string caption;
    bool enabled = true;
};

class CodeEditBox : public Control {
public:
    CodeEditBox(Form& form, std::string name);
    std::string typeName() const override { return "CodeEditBox"; }

    // A code write: the box must decode it again before it counts as decoded.
    void setText(const std::string& text) override;
    // The user typed: decoded on leaving, on Enter, or by Redecode.
    void enterText(const std::string& text) override;
    // The text as displayed (upper-cased when UpperCase is set).
    std::string displayText() const;

    bool IsDecoded() const { return decoded_; }
    const std::string& IDLookup() const { return idLookup_; }
    void setIDLookup(const std::string& id);
    bool UpperCase() const { return upperCase_; }
    void setUpperCase(bool u);
    // A code the window needs: the view says so in the box's tooltip; an empty box still
    // lets the focus go (the window asks for the code where it needs it).
    bool Mandatory() const { return mandatory_; }
    void setMandatory(bool m);
    // Whether the box may insist on a code; a box that edits a grid cell in place is cleared
    // of it. An empty box never holds the focus either way (see Mandatory).
    bool CanRequired() const { return canRequired_; }
    void setCanRequired(bool c);
    // Whether the box offers a lookup window (it has a lookup id or answers StartLookup).
    bool IsLookUp() const { return !idLookup_.empty() || StartLookup.connected(); }
    // Used for statements whose connection string is empty.
    std::shared_ptr<db::Connection> Connection() const { return connection_; }
    void setConnection(std::shared_ptr<db::Connection> c) { connection_ = std::move(c); }

    // Decodes the current text now.
    void Redecode();
    // A control the window filled with what the code means, in place of a decode: like the
    // decode's targets it is cleared when the code is.
    void addDecodedTarget(std::shared_ptr<Control> target);
    // Raises StartLookup, runs the statement and asks the window system's lookup window;
    // a chosen row's first column becomes the text, decoded as if typed. True on a choice.
    bool OpenLookup();
    // The key-button menu: "Kgestione" is always there; AddMenuEntry adds "Kpers<id>".
    void AddMenuEntry(int id, const std::string& caption, bool enabled = true);
    void setMenuEntryEnabled(const std::string& key, bool enabled);
    const std::vector<MenuEntry>& menuEntries() const { return menu_; }
    // Raises KeyButtonMenuPress(key) for an enabled entry; false for a disabled one.
    // KitError for a key the menu does not have.
    bool pressMenuKey(const std::string& key);
    // Enter: decode when changed, Validate, AfterItem; accepted moves the focus on like Tab.
    bool confirm();

    // The last decode or lookup failure ("" after a success).
    const std::string& lastError() const { return lastError_; }

    Event<bool&, std::string&, DecodeFields&, std::string&> StartDecode;
    Event<bool&, std::string&, LookupFields&, std::string&, std::string&> StartLookup;
    Event<bool&> AfterItem;
    Event<const std::string&> KeyButtonMenuPress;

    void leaveFocus(bool& cancel) override;
    bool processKey(int key, int shift) override;

private:
    void decode();
    // Validate then AfterItem; false when either cancelled.
    bool runAcceptance();
    void setDecoded(bool d);
    void writeTargets(const DecodeFields& fields, db::Recordset* row);
    void clearDecodedTargets();
    void setError(std::string e);

    bool decoded_ = false;
    bool needsDecode_ = true;   // text changed since the last decode
    bool pending_ = true;       // Validate/AfterItem not yet passed for this text
    bool accepting_ = false;    // Validate/AfterItem running (a handler may move the focus)
    bool upperCase_ = false;
    bool mandatory_ = false;
    bool canRequired_ = true;
    std::string idLookup_;
    std::string lastError_;
    std::shared_ptr<db::Connection> connection_;
    std::vector<MenuEntry> menu_;
    // The controls the last decode wrote into (description, level counts).
    std::vector<std::weak_ptr<Control>> decodedInto_;
};

}  // namespace kit
