// The record database: its exact schema, opening and creating files, adding and listing
// records, and updates that write in one transaction or not at all.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>

#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace zn::refhost::store {
namespace {

// The SQL of every table, read straight from the catalogue with SQLite's own API.
std::vector<std::string> tables_in(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'table' ORDER BY name DESC", -1, &s, nullptr);
    std::vector<std::string> sql;
    while (sqlite3_step(s) == SQLITE_ROW) sql.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return sql;
}

// The storage class of one record's photo: "null", "blob", ...
std::string photo_type(RecordStore& store, std::string_view type, int id) {
    Statement s = store.connection().prepare("SELECT typeof(photo) FROM records WHERE type = ? AND id = ?");
    s.bind_text(1, type).bind_int(2, id);
    return s.step() ? s.column_text(0) : "(no record)";
}

std::string error_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const StoreError& e) {
        return e.what();
    }
    return "(no error)";
}

class RecordStoreTest : public ::testing::Test {
protected:
    test::TempFolder dir_;
};

TEST_F(RecordStoreTest, ANewDatabaseHasExactlyTheDocumentedSchema) {
    RecordStore::create(dir_ / "school.db", {kModuleHM, kModuleHV});
    EXPECT_EQ(tables_in(dir_ / "school.db"),
              (std::vector<std::string>{"CREATE TABLE records (type TEXT NOT NULL, id INTEGER NOT NULL, name TEXT NOT "
                                        "NULL, photo BLOB, PRIMARY KEY (type, id))",
                                        "CREATE TABLE modules (code INTEGER PRIMARY KEY)"}));
}

TEST_F(RecordStoreTest, CreateRecordsTheModulesItIsGivenAndOpenReadsThemBack) {
    int n = 0;
    for (const std::set<std::int64_t>& modules :
         {std::set<std::int64_t>{kModuleHM, kModuleHV}, {kModuleHV}, {kModuleHM}, {}}) {
        const auto file = dir_ / ("school" + std::to_string(++n) + ".db");
        RecordStore::create(file, modules);
        const auto store = RecordStore::open(file);
        EXPECT_EQ(store->modules(), modules);
        EXPECT_EQ(store->module_installed(kModuleHM), modules.contains(kModuleHM));
        EXPECT_EQ(store->module_installed(kModuleHV), modules.contains(kModuleHV));
    }
}

TEST_F(RecordStoreTest, OnlyARecordDatabaseOpensAndCreateNeverOverwrites) {
    const auto file = dir_ / "school.db";
    EXPECT_NE(error_of([&] { RecordStore::open(file); }).find("does not exist"), std::string::npos);

    RecordStore::create(file, {})->add({"Student", 1, "Ann", std::nullopt});
    EXPECT_NE(error_of([&] { RecordStore::create(file, {}); }).find("already exists"), std::string::npos);
    EXPECT_EQ(RecordStore::open(file)->list().size(), 1u);  // still there

    std::ofstream(dir_ / "notes.txt") << "these are not the tables you are looking for\n";
    EXPECT_NE(error_of([&] { RecordStore::open(dir_ / "notes.txt"); }), "(no error)");

    sqlite3* db = nullptr;
    sqlite3_open((dir_ / "other.db").string().c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE records (x)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_NE(error_of([&] { RecordStore::open(dir_ / "other.db"); }).find("not a record database"), std::string::npos);
}

TEST_F(RecordStoreTest, AddKeepsTypesApartAndRefusesWhatTheSchemaCannotTell) {
    const auto store = RecordStore::in_memory();
    store->add({"Student", 7, "Ann", std::string("\x89PNG", 4)});
    store->add({"Applicant", 7, "Bo", std::nullopt});  // the same ID under another type
    store->add({"Faculty/Staff", -3, "Cy", std::string()});

    EXPECT_NE(error_of([&] {
                  store->add({"Student", 7, "Dup", std::nullopt});
              }).find("Student record 7 exists already"),
              std::string::npos);
    EXPECT_NE(error_of([&] {
                  store->add({"student", 8, "Lower", std::nullopt});
              }).find("unknown record type"),
              std::string::npos);
    EXPECT_NE(error_of([&] {
                  store->add({"Individual", 9, "", std::nullopt});
              }).find("needs a name"),
              std::string::npos);

    const auto all = store->list();
    ASSERT_EQ(all.size(), 3u);  // ordered by type, then ID
    EXPECT_EQ(all[0].type, "Applicant");
    EXPECT_EQ(all[1].type, "Faculty/Staff");
    EXPECT_EQ(all[1].id, -3);
    EXPECT_EQ(all[1].photo_bytes, 0);
    EXPECT_EQ(all[2].photo_bytes, 4);
    const auto students = store->list("Student");
    ASSERT_EQ(students.size(), 1u);
    EXPECT_EQ(students[0].name, "Ann");
    EXPECT_TRUE(store->list("Individual").empty());

    EXPECT_EQ(store->photo("Student", 7), std::string("\x89PNG", 4));
    EXPECT_EQ(store->photo("Applicant", 7), std::nullopt);
    EXPECT_EQ(store->photo("Student", 99), std::nullopt);
    EXPECT_EQ(store->head("Applicant", 7)->name, "Bo");
    EXPECT_FALSE(store->head("Individual", 7));
}

TEST_F(RecordStoreTest, AnUpdateIsOneTransactionAndTouchesOnlyItsRecord) {
    const auto store = RecordStore::in_memory();
    store->add({"Student", 1, "Ann", std::string("old")});
    store->add({"Applicant", 1, "Ann", std::string("other")});

    const auto before = store->connection().commits();
    RecordUpdate both{.name = "Ann Lee", .photo_changed = true, .photo = std::string("new bytes")};
    EXPECT_TRUE(store->update("Student", 1, both));
    EXPECT_EQ(store->connection().commits(), before + 1);
    EXPECT_EQ(store->head("Student", 1)->name, "Ann Lee");
    EXPECT_EQ(store->photo("Student", 1), "new bytes");
    EXPECT_EQ(store->photo("Applicant", 1), "other");

    // Nothing to write: no transaction at all.
    EXPECT_TRUE(store->update("Student", 1, {}));
    EXPECT_EQ(store->connection().commits(), before + 1);

    // A record that is not there: nothing committed, and the caller is told.
    EXPECT_FALSE(store->update("Student", 2, both));
    EXPECT_EQ(store->connection().commits(), before + 1);
    EXPECT_FALSE(store->head("Student", 2));
}

TEST_F(RecordStoreTest, ClearingAPhotoStoresNullNotZeroBytes) {
    const auto store = RecordStore::in_memory();
    store->add({"Individual", 5, "Di", std::string("bytes")});
    EXPECT_EQ(photo_type(*store, "Individual", 5), "blob");
    EXPECT_TRUE(store->update("Individual", 5, {.photo_changed = true, .photo = std::nullopt}));
    EXPECT_EQ(photo_type(*store, "Individual", 5), "null");
    EXPECT_EQ(store->list()[0].photo_bytes, 0);
    EXPECT_FALSE(store->head("Individual", 5)->has_photo);
}

TEST_F(RecordStoreTest, AWriteLockHeldElsewhereFailsTheUpdateWithoutAHalfWrite) {
    const auto file = dir_ / "school.db";
    RecordStore::create(file, {})->add({"Student", 1, "Ann", std::string("old")});
    const auto store = RecordStore::open(file);
    store->set_busy_timeout(0);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const RecordUpdate change{.name = "Ann Lee", .photo_changed = true, .photo = std::string("new")};
    EXPECT_NE(error_of([&] { store->update("Student", 1, change); }).find("locked"), std::string::npos);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(store->photo("Student", 1), "old");
    EXPECT_EQ(store->head("Student", 1)->name, "Ann");
    // The store is usable again once the lock is gone.
    EXPECT_TRUE(store->update("Student", 1, change));
    EXPECT_EQ(RecordStore::open(file)->photo("Student", 1), "new");
}

}  // namespace
}  // namespace zn::refhost::store
