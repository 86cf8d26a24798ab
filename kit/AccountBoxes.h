#pragma once
// The two account boxes: CoinAccountBox for an account of a PC01 chart (reclassified or
// analytic) and LedgerAccountBox for a ledger account of a CG10 chart. Both decode the code
// they hold against the database; a decoding failure never leaves the box as an exception,
// it shows as "not decoded" with the reason in lastError().

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "db/Connection.h"
#include "kit/Control.h"
#include "kit/WindowSystem.h"

namespace kit {

class CoinAccountBox : public Control {
public:
    CoinAccountBox(Form& form, std::string name);
    std::string typeName() const override { return "CoinAccountBox"; }

    std::shared_ptr<db::Connection> Connection() const { return connection_; }
    void setConnection(std::shared_ptr<db::Connection> c);
    std::shared_ptr<db::Object> EntryClass() const { return entryClass_; }
    void setEntryClass(std::shared_ptr<db::Object> o) { entryClass_ = std::move(o); }
    // Connection string used when no open Connection is set.
    const std::string& ConnectionText() const { return connectionText_; }
    void setConnectionText(const std::string& t);
    const db::Variant& ChartCode() const { return chartCode_; }
    void setChartCode(const db::Variant& chart);

    // The account code. Setting it decodes it against the chart.
    const std::string& Value() const { return value_; }
    void setValue(const std::string& v);
    const std::string& Description() const { return description_; }
    // Value laid into the chart's edit mask.
    const std::string& DisplayText() const { return displayText_; }
    bool IsDecoded() const { return decoded_; }
    bool IsAnalytic() const { return analytic_; }
    int AccountType() const { return accountType_; }   // -1 when not decoded
    const std::string& lastError() const { return lastError_; }

    // Focus to the box's input.
    bool FocusInput() { return SetFocus(); }
    const std::string& IDLookup() const { return idLookup_; }
    void setIDLookup(const std::string& id);
    // The two texts a form clears before it fills the box.
    const std::string& FilterText() const { return filterText_; }
    void setFilterText(const std::string& t);
    const std::string& InitialText() const { return initialText_; }
    void setInitialText(const std::string& t);
    // Caption of the management command (menu key "Kgestione").
    const std::string& ManagementCaption() const { return managementCaption_; }
    void setManagementCaption(const std::string& c);

    // Code write: the same as setting Value.
    void setText(const std::string& text) override { setValue(text); }
    // The user typed: becomes Value when the box commits (leaving, Enter, Tab, arrows).
    void enterText(const std::string& text) override;
    void commit();
    // The typed text as a plain code of the box's chart (its mask's separators taken out).
    std::string plainCode(const std::string& typed);
    bool OpenLookup();
    // Raises MenuKey(key) ("Kgestione"); false when the box is disabled.
    bool pressMenuKey(const std::string& key);

    db::Variant boundValue() const override { return db::Variant(value_); }
    void setBoundValue(const db::Variant& v) override { setValue(v.toText()); }
    std::string boundProperty() const override { return "Value"; }
    void commitInput() override { commit(); }

    Event<bool&, std::string&, LookupFields&, std::string&, std::string&> StartLookup;
    Event<const std::string&> MenuKey;

    void leaveFocus(bool& cancel) override;
    bool processKey(int key, int shift) override;

private:
    void decode();
    void clearDecoded();
    std::shared_ptr<db::Connection> queryConnection();
    std::string maskFor(long long chart, const std::shared_ptr<db::Connection>& conn);
    void setError(std::string e);

    std::shared_ptr<db::Connection> connection_;
    std::shared_ptr<db::Object> entryClass_;
    std::string connectionText_;
    db::Variant chartCode_;
    std::string value_;
    std::string description_;
    std::string displayText_;
    bool decoded_ = false;
    bool analytic_ = false;
    int accountType_ = -1;
    bool typed_ = false;
    std::string idLookup_, filterText_, initialText_, managementCaption_, lastError_;
    std::map<long long, std::string> masks_;
};

class LedgerAccountBox : public Control {
public:
    LedgerAccountBox(Form& form, std::string name);
    std::string typeName() const override { return "LedgerAccountBox"; }

    std::shared_ptr<db::Connection> Connection() const { return connection_; }
    void setConnection(std::shared_ptr<db::Connection> c) { connection_ = std::move(c); }
    std::shared_ptr<db::Object> EntryClass() const { return entryClass_; }
    void setEntryClass(std::shared_ptr<db::Object> o) { entryClass_ = std::move(o); }
    std::int16_t ChartCode() const { return chartCode_; }   // -1 = none
    void setChartCode(std::int16_t chart);

    // Code write: decodes the code (no Search).
    void setText(const std::string& text) override;
    // The user typed: confirmed (decoded and searched) on Enter or on leaving.
    void enterText(const std::string& text) override;
    const std::string& Description() const { return description_; }
    int AccountType() const { return accountType_; }   // -1 when not decoded
    bool IsDecoded() const { return decoded_; }
    const std::string& lastError() const { return lastError_; }
    // The edit mask of the chart's account codes ("@@/@@/@@@@"); the code shows through it
    // and may be typed through it.
    const std::string& Mask() const { return mask_; }
    void setMask(const std::string& mask);
    // The code as the grid shows it: laid into the mask; what is being typed, as typed.
    std::string DisplayText() const;
    bool FocusInput() { return SetFocus(); }
    void Redecode() { decode(); }
    // Decodes and raises Search; false when the search was cancelled.
    bool confirm();

    Event<bool&> Search;
    // Asked before decoding when the box has no open Connection: clear the first argument
    // and give a connection string in the second to decode through it.
    Event<bool&, std::string&> ConnectionStringRequest;

    void leaveFocus(bool& cancel) override;
    bool processKey(int key, int shift) override;

private:
    void decode();
    bool search();
    void setResult(bool decoded, std::string description, int type);

    std::shared_ptr<db::Connection> connection_;
    std::shared_ptr<db::Object> entryClass_;
    std::int16_t chartCode_ = -1;
    std::string description_;
    int accountType_ = -1;
    bool decoded_ = false;
    bool typed_ = false;
    std::string lastError_;
    std::string mask_;
};

}  // namespace kit
