#include "db/Recordset.h"

#include <algorithm>
#include <cctype>

#include "db/Connection.h"
#include "db/Criteria.h"
#include "db/Error.h"
#include "text/Text.h"

namespace db {

// The rows behind a recordset and all its clones. Rows are never removed from `rows`, so a
// row's index (its bookmark) stays valid; a deleted row is only flagged and leaves every view.
struct RowStore {
    std::vector<FieldInfo> fields;
    RowTable rows;
    std::vector<unsigned char> deleted;
    std::vector<Recordset*> members;   // recordsets open on this store (for Delete / AddNew)
};

namespace {

const char* const kNoCurrentRow = "BOF o EOF è True oppure il record corrente è stato eliminato";
const char* const kClosed = "Operazione non consentita se l'oggetto è chiuso.";

std::size_t utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool isTextType(int t) {
    return t == ado::adVarChar || t == ado::adLongVarChar || t == ado::adVarWChar || t == ado::adLongVarWChar ||
           t == ado::adWChar || t == ado::adChar;
}

// A value written into a field takes the field's type, as a typed column would hold it.
Variant coerce(const FieldInfo& f, const Variant& v) {
    if (v.isEmpty() || v.isNull()) return Variant::null();
    try {
        if (isTextType(f.type)) {
            if (v.isObject()) throw ConversionError("un oggetto non è un testo");
            std::string text = v.toText();
            if (f.definedSize > 0 && utf8Length(text) > static_cast<std::size_t>(f.definedSize))
                throw ConversionError("il testo '" + text + "' supera i " + std::to_string(f.definedSize) +
                                      " caratteri del campo");
            return Variant(std::move(text));
        }
        switch (f.type) {
            case ado::adDecimal:
            case ado::adNumeric:
            case ado::adCurrency: return Variant::decimal(v.toDouble());
            case ado::adDouble: return Variant(v.toDouble());
            case ado::adBigInt: return Variant(static_cast<long long>(v.toInt64()));
            case ado::adInteger: return Variant(static_cast<long long>(v.toInt32()));
            case ado::adSmallInt: return Variant(static_cast<long long>(v.toInt16()));
            case ado::adUnsignedTinyInt: return Variant(static_cast<long long>(v.toByte()));
            case ado::adTinyInt: {
                auto n = v.toInt64();
                if (n < -128 || n > 127) throw ConversionError("Overflow: " + std::to_string(n));
                return Variant(static_cast<long long>(n));
            }
            case ado::adBoolean: return Variant(v.toBool());
            default: return v;
        }
    } catch (const ConversionError& e) {
        throw ConversionError("Valore non valido per il campo '" + f.name + "': " + e.what());
    }
}

std::vector<RecordsetListener*> snapshot(const std::vector<RecordsetListener*>& ls) { return ls; }

// Asks every listener; true when the move may go ahead.
bool allowMove(Recordset& rs, const std::vector<RecordsetListener*>& ls) {
    bool cancel = false;
    for (auto* l : snapshot(ls)) {
        l->willMove(rs, cancel);
        if (cancel) return false;
    }
    return true;
}

void moved(Recordset& rs, const std::vector<RecordsetListener*>& ls) {
    for (auto* l : snapshot(ls)) l->moveComplete(rs);
}

void rowsChanged(Recordset& rs, const std::vector<RecordsetListener*>& ls) {
    for (auto* l : snapshot(ls)) l->rowsChanged(rs);
}

// Position of a store index in a view (views are kept in store order), or -1.
long findInView(const std::vector<std::uint32_t>& view, std::size_t storeIndex) {
    auto it = std::lower_bound(view.begin(), view.end(), storeIndex);
    if (it == view.end() || *it != storeIndex) return -1;
    return static_cast<long>(it - view.begin());
}

}  // namespace

// ---- Field -------------------------------------------------------------------------------

namespace {
const FieldInfo& infoOf(const std::vector<FieldInfo>& infos, std::size_t index) {
    if (index >= infos.size()) throw UsageError("Il campo n. " + std::to_string(index) + " non esiste più");
    return infos[index];
}
}  // namespace

#define BREVANTO_FIELD_INFOS(rs) ((rs)->store_ ? (rs)->store_->fields : (rs)->pendingFields_)

const std::string& Field::Name() const { return infoOf(BREVANTO_FIELD_INFOS(owner_), index_).name; }
int Field::Type() const { return infoOf(BREVANTO_FIELD_INFOS(owner_), index_).type; }
long Field::DefinedSize() const { return infoOf(BREVANTO_FIELD_INFOS(owner_), index_).definedSize; }
int Field::Attributes() const { return infoOf(BREVANTO_FIELD_INFOS(owner_), index_).attributes; }

Variant Field::Value() const {
    owner_->requireRow("Value");
    infoOf(owner_->store_->fields, index_);
    return owner_->store_->rows.value(owner_->currentRowIndex(), index_);
}

void Field::setValue(const Variant& v) {
    owner_->requireRow("Value");
    const FieldInfo& info = infoOf(owner_->store_->fields, index_);
    Variant stored = coerce(info, v);
    owner_->store_->rows.set(owner_->currentRowIndex(), index_, stored);
    std::string name = info.name;
    for (auto* l : snapshot(owner_->listeners_)) l->fieldChanged(*owner_, name);
}

// ---- Fields ------------------------------------------------------------------------------

void Fields::Append(const std::string& name, int type, long definedSize, int attributes) {
    if (owner_->open_) throw UsageError("Fields.Append: il recordset è aperto; chiuderlo prima di aggiungere campi");
    if (name.empty()) throw UsageError("Fields.Append: il nome del campo è vuoto");
    for (const auto& f : owner_->pendingFields_)
        if (text::equalsIgnoreCaseAscii(f.name, name)) throw UsageError("Fields.Append: il campo '" + name + "' esiste già");
    if (definedSize < 0) throw UsageError("Fields.Append: dimensione negativa per il campo '" + name + "'");
    owner_->pendingFields_.push_back({name, type, definedSize, attributes});
    rebuild();
}

long Fields::Count() const { return static_cast<long>(BREVANTO_FIELD_INFOS(owner_).size()); }

Field& Fields::Item(long index) {
    if (index < 0 || index >= Count())
        throw UsageError("Elemento non trovato nell'insieme: campo n. " + std::to_string(index) + " (campi: " +
                         std::to_string(Count()) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

std::optional<std::size_t> Fields::indexOf(std::string_view name) const {
    const auto& infos = BREVANTO_FIELD_INFOS(owner_);
    for (std::size_t i = 0; i < infos.size(); ++i)
        if (text::equalsIgnoreCaseAscii(infos[i].name, name)) return i;
    return std::nullopt;
}

bool Fields::contains(std::string_view name) const { return indexOf(name).has_value(); }

Field& Fields::operator()(std::string_view name) {
    auto i = indexOf(name);
    if (!i) throw UsageError("Elemento non trovato nell'insieme: il campo '" + std::string(name) + "' non esiste");
    return *items_[*i];
}

void Fields::rebuild() {
    // Existing Field objects are kept so that references callers hold stay valid.
    const std::size_t n = BREVANTO_FIELD_INFOS(owner_).size();
    if (items_.size() > n) items_.resize(n);
    while (items_.size() < n) items_.push_back(std::unique_ptr<Field>(new Field(owner_, items_.size())));
}

#undef BREVANTO_FIELD_INFOS

// ---- Recordset: life cycle ----------------------------------------------------------------

Recordset::Recordset() = default;

Recordset::~Recordset() {
    if (store_) std::erase(store_->members, this);
}

std::shared_ptr<Recordset> Recordset::fromResult(ResultSet result, std::shared_ptr<Connection> conn) {
    auto rs = create();
    rs->connection_ = std::move(conn);
    rs->cursorLocation_ = ado::adUseClient;
    rs->cursorType_ = ado::adOpenStatic;
    auto store = std::make_shared<RowStore>();
    store->fields = std::move(result.fields);
    store->rows = std::move(result.rows);
    store->rows.setColumns(store->fields.size());
    store->deleted.assign(store->rows.size(), 0);
    store->members.push_back(rs.get());
    rs->store_ = std::move(store);
    rs->open_ = true;
    rs->rebuildView();
    rs->fields_.rebuild();
    return rs;
}

void Recordset::Open() { Open(source_, connection_); }

void Recordset::Open(const std::string& source, std::shared_ptr<Connection> conn, int cursorType, int lockType,
                     int options) {
    if (open_) throw UsageError("Operazione non consentita se l'oggetto è aperto.");
    if (!conn) conn = connection_;
    if (source.empty() && pendingFields_.empty())
        throw UsageError("Recordset.Open senza origine: nessun campo aggiunto con Fields.Append");
    if (!source.empty() && !conn)
        throw UsageError("Recordset.Open: nessuna connessione attiva per \"" + source + "\"");
    connection_ = std::move(conn);
    source_ = source;
    if (cursorType != ado::adOpenUnspecified) cursorType_ = cursorType;
    if (lockType != ado::adLockUnspecified) lockType_ = lockType;

    auto store = std::make_shared<RowStore>();
    if (source.empty()) {
        store->fields = pendingFields_;
    } else {
        std::string command = options == ado::adCmdTable ? "SELECT * FROM " + source : source;
        ExecResult result = connection_->ExecuteAll(command);
        // A command that returns no rows leaves the recordset closed, as ADO does.
        if (result.resultSets.empty()) return;
        ResultSet& first = result.resultSets.front();
        store->fields = std::move(first.fields);
        store->rows = std::move(first.rows);
    }
    store->rows.setColumns(store->fields.size());
    store->deleted.assign(store->rows.size(), 0);
    store->members.push_back(this);
    store_ = std::move(store);
    open_ = true;
    filter_.clear();
    rebuildView();
    fields_.rebuild();
    rowsChanged(*this, listeners_);
}

void Recordset::Close() {
    if (!open_) return;
    if (!allowMove(*this, listeners_)) return;
    std::erase(store_->members, this);
    store_.reset();
    view_.clear();
    view_.shrink_to_fit();
    pos_ = -1;
    open_ = false;
    filter_.clear();
    fields_.rebuild();
    moved(*this, listeners_);
    rowsChanged(*this, listeners_);
}

void Recordset::requireOpen(const char* what) const {
    if (!open_) throw UsageError(std::string(what) + ": " + kClosed);
}

void Recordset::requireRow(const char* what) const {
    requireOpen(what);
    if (Bof() || Eof()) throw UsageError(kNoCurrentRow);
}

void Recordset::rebuildView() {
    view_.clear();
    view_.reserve(store_->rows.size());
    for (std::size_t i = 0; i < store_->rows.size(); ++i)
        if (!store_->deleted[i]) view_.push_back(static_cast<std::uint32_t>(i));
    pos_ = view_.empty() ? -1 : 0;
}

std::size_t Recordset::currentRowIndex() const { return view_[static_cast<std::size_t>(pos_)]; }

// ---- Fields shorthands ---------------------------------------------------------------------

Variant Recordset::value(std::string_view name) const {
    auto i = fields_.indexOf(name);
    if (!i) throw UsageError("Elemento non trovato nell'insieme: il campo '" + std::string(name) + "' non esiste");
    requireRow("Value");
    return store_->rows.value(currentRowIndex(), *i);
}

void Recordset::setValue(std::string_view name, const Variant& v) { fields_(name).setValue(v); }

// ---- Position ------------------------------------------------------------------------------

bool Recordset::Bof() const {
    requireOpen("BOF");
    return view_.empty() || pos_ < 0;
}

bool Recordset::Eof() const {
    requireOpen("EOF");
    return view_.empty() || pos_ >= static_cast<long>(view_.size());
}

namespace {
// Moves `pos` to `target` with the listeners' consent; nothing happens when the target is
// the current position. A listener may have changed the recordset while it was asked (closed
// it, deleted a row): the target is then kept within the view as it stands.
void goTo(Recordset& rs, long& pos, long target, const std::vector<std::uint32_t>& view,
          const std::vector<RecordsetListener*>& ls) {
    if (target == pos) return;
    if (!allowMove(rs, ls)) return;
    if (rs.State() != ado::adStateOpen) return;
    const long size = static_cast<long>(view.size());
    pos = size == 0 ? -1 : std::clamp(target, -1L, size);
    moved(rs, ls);
}
}  // namespace

void Recordset::MoveFirst() {
    requireOpen("MoveFirst");
    if (view_.empty()) return;
    goTo(*this, pos_, 0, view_, listeners_);
}

void Recordset::MoveLast() {
    requireOpen("MoveLast");
    if (view_.empty()) return;
    goTo(*this, pos_, static_cast<long>(view_.size()) - 1, view_, listeners_);
}

void Recordset::MoveNext() {
    requireOpen("MoveNext");
    if (Eof()) throw UsageError(kNoCurrentRow);
    goTo(*this, pos_, pos_ + 1, view_, listeners_);
}

void Recordset::MovePrevious() {
    requireOpen("MovePrevious");
    if (Bof()) throw UsageError(kNoCurrentRow);
    goTo(*this, pos_, pos_ - 1, view_, listeners_);
}

void Recordset::Move(long n) {
    requireOpen("Move");
    if ((n > 0 && Eof()) || (n < 0 && Bof()) || (n == 0 && (Bof() || Eof()))) throw UsageError(kNoCurrentRow);
    const long size = static_cast<long>(view_.size());
    long target;
    if (n > 0)
        target = n > size - pos_ ? size : pos_ + n;
    else
        target = n < -1 - pos_ ? -1 : pos_ + n;
    goTo(*this, pos_, target, view_, listeners_);
}

long Recordset::AbsolutePosition() const {
    requireOpen("AbsolutePosition");
    if (view_.empty()) return ado::adPosUnknown;
    if (pos_ < 0) return ado::adPosBOF;
    if (pos_ >= static_cast<long>(view_.size())) return ado::adPosEOF;
    return pos_ + 1;
}

void Recordset::setAbsolutePosition(long position) {
    requireOpen("AbsolutePosition");
    if (position < 1 || position > static_cast<long>(view_.size()))
        throw UsageError("AbsolutePosition " + std::to_string(position) + " fuori intervallo (record: " +
                         std::to_string(view_.size()) + ")");
    goTo(*this, pos_, position - 1, view_, listeners_);
}

long Recordset::RecordCount() const {
    requireOpen("RecordCount");
    return static_cast<long>(view_.size());
}

Variant Recordset::Bookmark() const {
    requireRow("Bookmark");
    return Variant(static_cast<long long>(view_[static_cast<std::size_t>(pos_)]) + 1);
}

void Recordset::setBookmark(const Variant& bookmark) {
    requireOpen("Bookmark");
    long long mark = 0;
    bool valid = bookmark.isNumeric() && !bookmark.isObject();
    if (valid) {
        try {
            mark = bookmark.toInt64();
        } catch (const ConversionError&) {
            valid = false;
        }
    }
    if (!valid || mark < 1 || static_cast<unsigned long long>(mark) > store_->rows.size())
        throw UsageError("Segnalibro non valido: " + bookmark.debugString());
    const auto index = static_cast<std::size_t>(mark - 1);
    long at = store_->deleted[index] ? -1 : findInView(view_, index);
    if (at < 0) throw UsageError("Segnalibro non valido: il record " + std::to_string(mark) +
                                 " è stato eliminato o è escluso dal filtro");
    goTo(*this, pos_, at, view_, listeners_);
}

// ---- Clone, Filter, Find -------------------------------------------------------------------

std::shared_ptr<Recordset> Recordset::Clone(int lockType) {
    requireOpen("Clone");
    auto c = create();
    c->cursorLocation_ = cursorLocation_;
    c->cursorType_ = cursorType_;
    c->lockType_ = lockType == ado::adLockUnspecified ? lockType_ : lockType;
    c->source_ = source_;
    c->connection_ = connection_;
    c->pendingFields_ = pendingFields_;
    c->store_ = store_;
    store_->members.push_back(c.get());
    c->open_ = true;
    c->rebuildView();
    c->fields_.rebuild();
    return c;
}

void Recordset::setFilter(const std::string& criteria) {
    requireOpen("Filter");
    bool clear = std::all_of(criteria.begin(), criteria.end(),
                             [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); });
    std::optional<Criteria> parsed;
    if (!clear) parsed = Criteria::parse(criteria, store_->fields);   // a bad text changes nothing
    // The listeners still see the old row (a record frame saves it here), so the view is
    // computed afterwards, from the rows as they stand then.
    if (!allowMove(*this, listeners_) || !open_) return;
    std::vector<std::uint32_t> view;
    view.reserve(clear ? store_->rows.size() : 64);
    for (std::size_t i = 0; i < store_->rows.size(); ++i)
        if (!store_->deleted[i] && (clear || parsed->matches(store_->rows[i]))) view.push_back(static_cast<std::uint32_t>(i));
    view_ = std::move(view);
    pos_ = view_.empty() ? -1 : 0;
    filter_ = clear ? std::string() : criteria;
    moved(*this, listeners_);
    rowsChanged(*this, listeners_);
}

void Recordset::Find(const std::string& criteria, long skipRecords, int direction) {
    requireOpen("Find");
    Criteria c = Criteria::parse(criteria, store_->fields);
    if (!c.isSingleClause())
        throw UsageError("Find accetta un solo criterio (senza AND/OR): \"" + criteria + "\"");
    if (direction != ado::adSearchForward && direction != ado::adSearchBackward)
        throw UsageError("Find: direzione di ricerca non valida (" + std::to_string(direction) + ")");
    if (skipRecords < 0) throw UsageError("Find: numero di record da saltare negativo");
    const long size = static_cast<long>(view_.size());
    if (size == 0) return;
    long target;
    if (direction == ado::adSearchForward) {
        target = size;
        long start = pos_ >= size ? size : std::max(pos_ + std::min(skipRecords, size), 0L);
        for (long i = start; i < size; ++i)
            if (c.matches(store_->rows[view_[static_cast<std::size_t>(i)]])) {
                target = i;
                break;
            }
    } else {
        target = -1;
        long start = pos_ < 0 ? -1 : std::min(pos_ - std::min(skipRecords, size + 1), size - 1);
        for (long i = start; i >= 0; --i)
            if (c.matches(store_->rows[view_[static_cast<std::size_t>(i)]])) {
                target = i;
                break;
            }
    }
    goTo(*this, pos_, target, view_, listeners_);
}

// ---- AddNew, Update, Delete ----------------------------------------------------------------

namespace {
bool stillMember(const RowStore& store, const Recordset* m) {
    return std::find(store.members.begin(), store.members.end(), m) != store.members.end();
}
}  // namespace


void Recordset::AddNew() {
    requireOpen("AddNew");
    if (!allowMove(*this, listeners_) || !open_) return;
    auto store = store_;   // listeners below may close this recordset
    const auto index = static_cast<std::uint32_t>(store->rows.appendRow());
    store->deleted.push_back(0);
    // Unfiltered clones see the new row at their end; a filtered clone keeps its view.
    std::vector<Recordset*> touched;
    for (Recordset* m : store->members) {
        if (m == this || !m->filter_.empty()) continue;
        const long oldSize = static_cast<long>(m->view_.size());
        m->view_.push_back(index);
        if (m->pos_ >= oldSize) m->pos_ = oldSize + 1;   // a clone at EOF stays at EOF
        touched.push_back(m);
    }
    view_.push_back(index);
    pos_ = static_cast<long>(view_.size()) - 1;
    // Clones whose rows changed through this recordset are told so; one that a listener
    // closed or destroyed meanwhile is skipped.
    for (Recordset* m : touched)
        if (stillMember(*store, m)) rowsChanged(*m, m->listeners_);
    moved(*this, listeners_);
    rowsChanged(*this, listeners_);
}

void Recordset::Update() { requireOpen("Update"); }

void Recordset::Delete() {
    requireRow("Delete");
    if (!allowMove(*this, listeners_) || !open_ || Bof() || Eof()) return;
    auto store = store_;
    const std::size_t index = view_[static_cast<std::size_t>(pos_)];
    store->deleted[index] = 1;
    std::vector<Recordset*> touched;
    for (Recordset* m : store->members) {
        long at = findInView(m->view_, index);
        if (at < 0) continue;
        m->view_.erase(m->view_.begin() + at);
        // Whoever stood on the deleted row now stands on the next one (or EOF).
        if (m->pos_ > at) --m->pos_;
        if (m->view_.empty()) m->pos_ = -1;
        if (m != this) touched.push_back(m);
    }
    // Clones whose rows changed through this recordset are told so; one that a listener
    // closed or destroyed meanwhile is skipped.
    for (Recordset* m : touched)
        if (stillMember(*store, m)) rowsChanged(*m, m->listeners_);
    moved(*this, listeners_);
    rowsChanged(*this, listeners_);
}

// ---- Listeners and views -------------------------------------------------------------------

void Recordset::addListener(RecordsetListener* l) {
    if (l && std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) listeners_.push_back(l);
}

void Recordset::removeListener(RecordsetListener* l) { std::erase(listeners_, l); }

RowRef Recordset::viewRow(long index0) const {
    if (index0 < 0 || index0 >= static_cast<long>(view_.size()))
        throw UsageError("viewRow(" + std::to_string(index0) + ") fuori intervallo (record: " +
                         std::to_string(view_.size()) + ")");
    return store_->rows[view_[static_cast<std::size_t>(index0)]];
}

}  // namespace db
