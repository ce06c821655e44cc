#include "refhost/store/record_store.h"

#include <algorithm>
#include <limits>

#include "platform/text/utf.h"

namespace zn::refhost::store {
namespace {

// A cached statement is reset on every way out of its use, so that it neither keeps a read
// transaction open nor keeps pointing at bytes that are gone.
class ResetOnExit {
public:
    explicit ResetOnExit(Statement& s) : s_(s) { s_.reset(); }
    ~ResetOnExit() { s_.reset(); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    Statement& s_;
};

std::string describe(std::string_view type, std::int32_t id) {
    return std::string(type) + " record " + std::to_string(id);
}

}  // namespace

bool is_record_type(std::string_view type) {
    return host::find_record_type(text::from_utf8(type)) != nullptr;
}

RecordStore::RecordStore(const std::filesystem::path& path, Connection::Mode mode) : db_(path, mode) {
    db_.set_busy_timeout(5000);
}

RecordStore::~RecordStore() = default;

std::unique_ptr<RecordStore> RecordStore::create(const std::filesystem::path& path,
                                                 const std::set<std::int64_t>& modules) {
    std::unique_ptr<RecordStore> store(new RecordStore(path, Connection::Mode::CreateNew));
    store->create_schema(modules);
    return store;
}

std::unique_ptr<RecordStore> RecordStore::open(const std::filesystem::path& path) {
    std::unique_ptr<RecordStore> store(new RecordStore(path, Connection::Mode::OpenExisting));
    store->check_schema();
    return store;
}

std::unique_ptr<RecordStore> RecordStore::in_memory() {
    std::unique_ptr<RecordStore> store(new RecordStore({}, Connection::Mode::Memory));
    store->create_schema({kModuleHM, kModuleHV});
    return store;
}

void RecordStore::create_schema(const std::set<std::int64_t>& modules) {
    Transaction t(db_);
    for (const std::string_view sql : kSchema) db_.exec(sql);
    t.commit();
    set_modules(modules);
}

void RecordStore::check_schema() {
    // Reading the catalogue is also what tells a file that is not a database at all.
    Statement s =
        db_.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('records', 'modules')");
    s.step();
    if (s.column_int(0) != 2) throw StoreError("not a record database: the records and modules tables are missing");
}

void RecordStore::add(const Record& record) {
    if (!is_record_type(record.type))
        throw StoreError("unknown record type \"" + record.type + "\" (one of " + host::narrow_names() + ")");
    if (record.name.empty()) throw StoreError(describe(record.type, record.id) + " needs a name");
    Statement s = db_.prepare("INSERT INTO records (type, id, name, photo) VALUES (?, ?, ?, ?)");
    s.bind_text(1, record.type).bind_int(2, record.id).bind_text(3, record.name);
    if (record.photo)
        s.bind_blob(4, *record.photo);
    else
        s.bind_null(4);
    try {
        s.run();
    } catch (const StoreError&) {
        if (head(record.type, record.id)) throw StoreError(describe(record.type, record.id) + " exists already");
        throw;
    }
}

std::optional<RecordHead> RecordStore::head(std::string_view type, std::int32_t id) {
    if (!head_)
        head_.emplace(
            db_.prepare("SELECT name, photo IS NOT NULL, coalesce(length(CAST(photo AS BLOB)), 0) FROM records "
                        "WHERE type = ? AND id = ?"));
    Statement& s = *head_;
    const ResetOnExit guard(s);
    s.bind_text(1, type).bind_int(2, id);
    if (!s.step()) return std::nullopt;
    return RecordHead{s.column_text(0), s.column_int(2), s.column_int(1) != 0};
}

std::optional<std::string> RecordStore::photo(std::string_view type, std::int32_t id) {
    Statement s = db_.prepare("SELECT photo FROM records WHERE type = ? AND id = ?");
    s.bind_text(1, type).bind_int(2, id);
    if (!s.step()) return std::nullopt;
    return s.column_blob(0);
}

bool RecordStore::update(std::string_view type, std::int32_t id, const RecordUpdate& changes) {
    if (changes.empty()) return head(type, id).has_value();
    std::optional<Statement>* cached = nullptr;
    std::string_view sql;
    if (changes.name && changes.photo_changed) {
        cached = &update_both_;
        sql = "UPDATE records SET name = ?3, photo = ?4 WHERE type = ?1 AND id = ?2";
    } else if (changes.name) {
        cached = &update_name_;
        sql = "UPDATE records SET name = ?3 WHERE type = ?1 AND id = ?2";
    } else {
        cached = &update_photo_;
        sql = "UPDATE records SET photo = ?4 WHERE type = ?1 AND id = ?2";
    }
    if (!*cached) cached->emplace(db_.prepare(sql));
    Statement& s = **cached;
    const ResetOnExit guard(s);
    s.bind_text(1, type).bind_int(2, id);
    if (changes.name) s.bind_text(3, *changes.name);
    if (changes.photo_changed) {
        if (changes.photo)
            s.bind_blob(4, *changes.photo);
        else
            s.bind_null(4);
    }

    Transaction t(db_);
    s.run();
    if (db_.changes() != 1) return false;  // the transaction rolls back: nothing was written
    t.commit();
    return true;
}

std::vector<RecordSummary> RecordStore::list(std::optional<std::string_view> type) {
    Statement s = db_.prepare(
        "SELECT type, id, name, coalesce(length(CAST(photo AS BLOB)), 0) FROM records "
        "WHERE ?1 IS NULL OR type = ?1 ORDER BY type, id");
    if (type) s.bind_text(1, *type);
    std::vector<RecordSummary> rows;
    while (s.step())
        rows.push_back(
            {s.column_text(0), static_cast<std::int32_t>(s.column_int(1)), s.column_text(2), s.column_int(3)});
    return rows;
}

bool RecordStore::module_installed(std::int64_t code) {
    Statement s = db_.prepare("SELECT 1 FROM modules WHERE code = ?");
    s.bind_int(1, code);
    return s.step();
}

std::set<std::int64_t> RecordStore::modules() {
    Statement s = db_.prepare("SELECT code FROM modules ORDER BY code");
    std::set<std::int64_t> codes;
    while (s.step()) codes.insert(s.column_int(0));
    return codes;
}

void RecordStore::set_modules(const std::set<std::int64_t>& codes) {
    Transaction t(db_);
    db_.exec("DELETE FROM modules");
    Statement s = db_.prepare("INSERT INTO modules (code) VALUES (?)");
    for (const std::int64_t code : codes) {
        s.reset();
        s.bind_int(1, code);
        s.run();
    }
    t.commit();
}

}  // namespace zn::refhost::store
