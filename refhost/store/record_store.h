// The reference host's record database: one row per record of the four record types, with its
// name and its photo, and the host's installed system modules. The schema is part of the
// reference host's documented interface (other tools read and write these files), so it is
// kept exactly as written in kSchema:
//
//   records (type TEXT NOT NULL, id INTEGER NOT NULL, name TEXT NOT NULL, photo BLOB,
//            PRIMARY KEY (type, id))   type: the name of one of the host's record types
//   modules (code INTEGER PRIMARY KEY) the installed module codes (4096 HM, 8192 HV)
//
// Names are UTF-8 text; a photo is the photo file's bytes, NULL for none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_interfaces.h"
#include "host/record_types.h"
#include "refhost/store/sqlite_db.h"

namespace zn::refhost::store {

inline constexpr std::string_view kSchema[] = {
    "CREATE TABLE records (type TEXT NOT NULL, id INTEGER NOT NULL, name TEXT NOT NULL, photo BLOB, "
    "PRIMARY KEY (type, id))",
    "CREATE TABLE modules (code INTEGER PRIMARY KEY)",
};

// One of the host's record types' names; exact and case-sensitive, as the types are stored.
bool is_record_type(std::string_view type);

inline constexpr std::int64_t kModuleHM = host::kModuleHM;
inline constexpr std::int64_t kModuleHV = host::kModuleHV;

struct Record {
    std::string type;
    std::int32_t id = 0;
    std::string name;
    std::optional<std::string> photo;  // the bytes; nullopt: no photo
};

// A record as Load sees it: the photo is fetched only when asked for.
struct RecordHead {
    std::string name;
    std::int64_t photo_bytes = 0;  // 0 without a photo
    bool has_photo = false;
};

struct RecordSummary {
    std::string type;
    std::int32_t id = 0;
    std::string name;
    std::int64_t photo_bytes = 0;
};

// What one save changes; fields left unset stay as stored.
struct RecordUpdate {
    std::optional<std::string> name;
    bool photo_changed = false;
    std::optional<std::string> photo;  // with photo_changed: the new bytes, nullopt to clear

    bool empty() const noexcept { return !name && !photo_changed; }
};

class RecordStore {
public:
    // A new database file with the schema and the given modules installed; refuses a path that
    // exists already.
    static std::unique_ptr<RecordStore> create(const std::filesystem::path& path,
                                               const std::set<std::int64_t>& modules);
    // An existing database file; refuses a file without the two tables.
    static std::unique_ptr<RecordStore> open(const std::filesystem::path& path);
    // A database of its own in memory, with the schema and both modules.
    static std::unique_ptr<RecordStore> in_memory();

    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Adds a record; refuses an unknown type, an empty name and a (type, id) that exists.
    void add(const Record& record);
    std::optional<RecordHead> head(std::string_view type, std::int32_t id);
    // The stored photo; nullopt when the record has none or does not exist.
    std::optional<std::string> photo(std::string_view type, std::int32_t id);
    // Writes the changes in one transaction. False when the record does not exist (nothing
    // written). An empty update writes nothing and opens no transaction.
    bool update(std::string_view type, std::int32_t id, const RecordUpdate& changes);
    // Every record, or those of one type, ordered by type and id.
    std::vector<RecordSummary> list(std::optional<std::string_view> type = std::nullopt);

    bool module_installed(std::int64_t code);
    std::set<std::int64_t> modules();
    void set_modules(const std::set<std::int64_t>& codes);

    // For tests and tools: the connection, and how long a write waits for another writer.
    Connection& connection() noexcept { return db_; }
    void set_busy_timeout(int milliseconds) { db_.set_busy_timeout(milliseconds); }

private:
    RecordStore(const std::filesystem::path& path, Connection::Mode mode);
    void create_schema(const std::set<std::int64_t>& modules);
    void check_schema();

    Connection db_;
    // Prepared once: each import line loads and saves one record.
    std::optional<Statement> head_;
    std::optional<Statement> update_name_;
    std::optional<Statement> update_photo_;
    std::optional<Statement> update_both_;
};

}  // namespace zn::refhost::store
