#pragma once
// ADO-like recordset with a client-side static cursor: all rows are held in memory, shared
// by clones, each clone with its own position and filter. Writes to fields change the rows
// in memory only; they are never sent back to the database.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Ado.h"
#include "db/ResultSet.h"
#include "db/Variant.h"

namespace db {

class Connection;
class Recordset;
struct RowStore;

// Observer of one recordset object (not of its clones), in the manner of ADO's recordset
// events. A record frame uses willMove to save a changed row before the cursor leaves it.
class RecordsetListener {
public:
    virtual ~RecordsetListener() = default;
    // Before any change of the current row (Move*, Bookmark, AbsolutePosition, Find, Filter,
    // AddNew, Close). Setting cancel leaves the cursor where it is; the move call then
    // returns without moving.
    virtual void willMove(Recordset&, bool& cancel) { (void)cancel; }
    virtual void moveComplete(Recordset&) {}
    // A field of the current row was written (Field::setValue).
    virtual void fieldChanged(Recordset&, const std::string& field) { (void)field; }
    // The row set changed as a whole: Open, Close, Filter, AddNew, Delete.
    virtual void rowsChanged(Recordset&) {}
};

class Field {
public:
    const std::string& Name() const;
    int Type() const;
    long DefinedSize() const;
    int Attributes() const;
    // Value of the current row. UsageError at BOF/EOF or on a closed recordset.
    Variant Value() const;
    void setValue(const Variant& v);
    Field& operator=(const Variant& v) { setValue(v); return *this; }

private:
    friend class Recordset;
    friend class Fields;
    Field(Recordset* owner, std::size_t index) : owner_(owner), index_(index) {}
    Recordset* owner_;
    std::size_t index_;
};

class Fields {
public:
    // Only before Open of an in-memory recordset.
    void Append(const std::string& name, int type, long definedSize = 0,
                int attributes = ado::adFldUnspecified);
    long Count() const;
    Field& Item(long index);
    // By name, case-insensitive. UsageError for an unknown name.
    Field& operator()(std::string_view name);
    Field& Item(std::string_view name) { return (*this)(name); }
    bool contains(std::string_view name) const;
    std::optional<std::size_t> indexOf(std::string_view name) const;

private:
    friend class Recordset;
    explicit Fields(Recordset* owner) : owner_(owner) {}
    void rebuild();
    Recordset* owner_;
    std::vector<std::unique_ptr<Field>> items_;
};

class Recordset : public Object, public std::enable_shared_from_this<Recordset> {
public:
    Recordset();
    ~Recordset() override;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    static std::shared_ptr<Recordset> create() { return std::make_shared<Recordset>(); }
    // A recordset already open on rows a backend returned (used by Connection::Execute).
    static std::shared_ptr<Recordset> fromResult(ResultSet result, std::shared_ptr<Connection> conn);

    // Properties settable before Open; stored and reported back.
    int CursorLocation() const { return cursorLocation_; }
    void setCursorLocation(int v) { cursorLocation_ = v; }
    int CursorType() const { return cursorType_; }
    void setCursorType(int v) { cursorType_ = v; }
    int LockType() const { return lockType_; }
    void setLockType(int v) { lockType_ = v; }
    const std::string& Source() const { return source_; }
    void setSource(std::string s) { source_ = std::move(s); }
    std::shared_ptr<Connection> ActiveConnection() const { return connection_; }
    void setActiveConnection(std::shared_ptr<Connection> c) { connection_ = std::move(c); }

    // Open with a source on the active connection (or the given one), or with no source as an
    // in-memory recordset over the appended fields. Arguments of -1 keep the set properties.
    void Open();
    void Open(const std::string& source, std::shared_ptr<Connection> conn,
              int cursorType = ado::adOpenUnspecified, int lockType = ado::adLockUnspecified,
              int options = ado::adCmdUnspecified);
    void Close();
    int State() const { return open_ ? ado::adStateOpen : ado::adStateClosed; }

    Fields& fields() { return fields_; }
    Field& operator()(std::string_view name) { return fields_(name); }
    // Shorthands for Fields(name).Value.
    Variant value(std::string_view name) const;
    void setValue(std::string_view name, const Variant& v);

    bool Bof() const;
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();       // UsageError when already at EOF
    void MovePrevious();   // UsageError when already at BOF
    void Move(long n);     // relative; beyond either end lands on BOF/EOF

    // 1-based position in the current (filtered) view; adPosUnknown (-1) on an empty view,
    // adPosBOF / adPosEOF at the ends.
    long AbsolutePosition() const;
    void setAbsolutePosition(long position);
    long RecordCount() const;

    // Identifies the current row; valid in this recordset and its clones.
    Variant Bookmark() const;
    void setBookmark(const Variant& bookmark);

    // A new recordset over the same rows, independent position (first row), no filter.
    std::shared_ptr<Recordset> Clone(int lockType = ado::adLockUnspecified);

    // ADO criteria: "FIELD op value [AND|OR ...]" with =, <>, <, >, <=, >=, LIKE and
    // parentheses; "" clears. A filter moves to the first matching row. UsageError on a
    // malformed criterion or an unknown field.
    void setFilter(const std::string& criteria);
    const std::string& Filter() const { return filter_; }

    // Single criterion "FIELD op value", searched from the current row (skip rows first).
    // No match leaves the cursor at EOF (forward) or BOF (backward).
    void Find(const std::string& criteria, long skipRecords = 0,
              int direction = ado::adSearchForward);

    void AddNew();     // appends a row, becomes current; in memory only
    void Update();     // ends an AddNew / edit; nothing is written to the database
    void Delete();     // removes the current row from this recordset and its clones

    // Listeners are not owned; a listener removes itself before it is destroyed.
    void addListener(RecordsetListener* l);
    void removeListener(RecordsetListener* l);

    // Read access for views (grids): the rows of the current view without moving the cursor.
    long viewSize() const { return RecordCount(); }
    RowRef viewRow(long index0) const;
    long currentIndex() const { return pos_; }   // 0-based in the view; -1 BOF, viewSize() EOF

private:
    friend class Field;
    friend class Fields;
    void requireOpen(const char* what) const;
    void requireRow(const char* what) const;
    void rebuildView();
    std::size_t currentRowIndex() const;   // in the store

    int cursorLocation_ = ado::adUseServer;
    int cursorType_ = ado::adOpenForwardOnly;
    int lockType_ = ado::adLockReadOnly;
    std::string source_;
    std::shared_ptr<Connection> connection_;
    std::vector<FieldInfo> pendingFields_;   // Fields.Append before Open
    std::shared_ptr<RowStore> store_;
    std::vector<std::uint32_t> view_;        // indices into store_->rows, in store order
    long pos_ = -1;
    bool open_ = false;
    std::string filter_;
    Fields fields_{this};
    std::vector<RecordsetListener*> listeners_;
};

}  // namespace db
