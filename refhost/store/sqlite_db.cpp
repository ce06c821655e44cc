#include "refhost/store/sqlite_db.h"

#include <sqlite3.h>

#include <limits>
#include <utility>

namespace zn::refhost::store {

void throw_store_error(sqlite3* db, std::string_view context) {
    throw StoreError(std::string(context) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

namespace {

int byte_count(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw StoreError("a value of " + std::to_string(bytes.size()) + " bytes is too large to store");
    return static_cast<int>(bytes.size());
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.data(), byte_count(sql), &stmt_, nullptr) != SQLITE_OK)
        throw_store_error(db, "preparing \"" + std::string(sql) + "\"");
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& o) noexcept : db_(o.db_), stmt_(std::exchange(o.stmt_, nullptr)) {}

Statement& Statement::bind_text(int index, std::string_view text) {
    // SQLITE_STATIC: the caller keeps the text alive until reset (see the header).
    if (sqlite3_bind_text(stmt_, index, text.data(), byte_count(text), SQLITE_STATIC) != SQLITE_OK)
        throw_store_error(db_, "binding a text");
    return *this;
}

Statement& Statement::bind_blob(int index, std::string_view bytes) {
    // A zero-length blob is bound as such, not as NULL: data() of an empty view may be null.
    static const char empty = 0;
    if (sqlite3_bind_blob(stmt_, index, bytes.empty() ? &empty : bytes.data(), byte_count(bytes), SQLITE_STATIC) !=
        SQLITE_OK)
        throw_store_error(db_, "binding bytes");
    return *this;
}

Statement& Statement::bind_null(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) throw_store_error(db_, "binding NULL");
    return *this;
}

Statement& Statement::bind_int(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) throw_store_error(db_, "binding a number");
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw_store_error(db_, "running \"" + std::string(sqlite3_sql(stmt_)) + "\"");
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() noexcept {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::column_int(int index) const {
    return sqlite3_column_int64(stmt_, index);
}

std::string Statement::column_text(int index) const {
    const auto* text = sqlite3_column_text(stmt_, index);
    const int n = sqlite3_column_bytes(stmt_, index);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(n)) : std::string();
}

std::optional<std::string> Statement::column_blob(int index) const {
    if (sqlite3_column_type(stmt_, index) == SQLITE_NULL) return std::nullopt;
    const void* bytes = sqlite3_column_blob(stmt_, index);
    const int n = sqlite3_column_bytes(stmt_, index);
    if (n > 0 && !bytes) throw StoreError("out of memory reading a stored value");
    return n > 0 ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(n)) : std::string();
}

Connection::Connection(const std::filesystem::path& path, Mode mode) {
    std::error_code ec;
    const bool exists = mode != Mode::Memory && std::filesystem::exists(path, ec);
    const std::string name =
        mode == Mode::Memory ? std::string(":memory:") : reinterpret_cast<const char*>(path.u8string().c_str());
    if (mode == Mode::CreateNew && exists) throw StoreError(name + " already exists");
    if (mode == Mode::OpenExisting && !exists) throw StoreError(name + " does not exist");

    const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::OpenExisting ? 0 : SQLITE_OPEN_CREATE);
    if (sqlite3_open_v2(name.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + name + ": " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_commit_hook(
        db_,
        [](void* self) {
            ++static_cast<Connection*>(self)->commits_;
            return 0;  // let it commit
        },
        this);
}

Connection::~Connection() {
    sqlite3_close(db_);  // statements are finalised by their owners before this
}

void Connection::exec(std::string_view sql) {
    const std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string error = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw StoreError("running \"" + text + "\": " + error);
    }
}

std::int64_t Connection::changes() const noexcept {
    return sqlite3_changes(db_);
}

void Connection::set_busy_timeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

Transaction::Transaction(Connection& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!open_) return;
    // ROLLBACK fails only when SQLite has rolled back already (after some errors it does so itself).
    sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

}  // namespace zn::refhost::store
