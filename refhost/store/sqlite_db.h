// A thin owner of an SQLite connection and its prepared statements. Every failure is a
// StoreError carrying SQLite's own message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace zn::refhost::store {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& o) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. Text and bytes are copied by SQLite only when it must: they
    // have to stay alive until the statement is reset.
    Statement& bind_text(int index, std::string_view text);
    Statement& bind_blob(int index, std::string_view bytes);
    Statement& bind_null(int index);
    Statement& bind_int(int index, std::int64_t value);

    // True while a row is available; false when the statement is done.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    // Ready for new parameters; called before every use of a cached statement.
    void reset() noexcept;

    std::int64_t column_int(int index) const;
    std::string column_text(int index) const;
    // The bytes of a BLOB (or text) column; nullopt for NULL.
    std::optional<std::string> column_blob(int index) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
public:
    enum class Mode { OpenExisting, CreateNew, Memory };

    // CreateNew refuses a path that exists already; OpenExisting one that does not.
    Connection(const std::filesystem::path& path, Mode mode);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const noexcept { return db_; }
    void exec(std::string_view sql);
    Statement prepare(std::string_view sql) { return Statement(db_, sql); }
    // Rows changed by the last INSERT, UPDATE or DELETE.
    std::int64_t changes() const noexcept;
    // How long a write waits for another connection's lock before it fails.
    void set_busy_timeout(int milliseconds);
    // Transactions committed through this connection so far.
    std::uint64_t commits() const noexcept { return commits_; }

private:
    sqlite3* db_ = nullptr;
    std::uint64_t commits_ = 0;
};

// A write transaction (BEGIN IMMEDIATE, so that a lock held elsewhere fails at the start, not
// halfway); rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& db_;
    bool open_ = true;
};

// SQLite's message for the connection's last error, after context.
[[noreturn]] void throw_store_error(sqlite3* db, std::string_view context);

}  // namespace zn::refhost::store
