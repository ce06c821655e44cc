// The host's record classes over the record database, as the import run drives them: Init,
// Load, DataObject.Fields, FieldSet.Field, Save and CloseDown, with what each refuses, what the
// journal shows, and the photo bytes kept exactly.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/text/code_page.h"
#include "refhost/components/record_object.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace zn::refhost {
namespace {

template <class I>
constexpr GUID clsid_of() {
    if constexpr (std::is_same_v<I, host::FacultyStaffRecord>) return host::CLSID_FacultyStaffRecord;
    if constexpr (std::is_same_v<I, host::ApplicantRecord>) return host::CLSID_ApplicantRecord;
    if constexpr (std::is_same_v<I, host::StudentRecord>) return host::CLSID_StudentRecord;
    if constexpr (std::is_same_v<I, host::IndividualRecord>) return host::CLSID_IndividualRecord;
}

std::u16string error_description() {
    com::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return u"(no error info)";
    com::Bstr d;
    info->GetDescription(d.receive());
    return d.str();
}

// The storage class of a record's photo: "null", "blob", ...
std::string photo_type(store::RecordStore& records, std::string_view type, int id) {
    store::Statement s = records.connection().prepare("SELECT typeof(photo) FROM records WHERE type = ? AND id = ?");
    s.bind_text(1, type).bind_int(2, id);
    return s.step() ? s.column_text(0) : "(no record)";
}

class RecordObjectTest : public ::testing::Test {
protected:
    template <class I>
    com::ComPtr<I> create() {
        com::ComPtr<I> p;
        com::check(CoCreateInstance(clsid_of<I>(), nullptr, CLSCTX_INPROC_SERVER, com::iid_of<I>(), p.put_void()));
        return p;
    }
    // Created, bound and loaded, as the import run has it before Fields.
    template <class I>
    com::ComPtr<I> loaded(LONG id) {
        auto record = create<I>();
        com::check(record->Init(session_.addressof()));
        LONG reserved = 0;
        com::check(record->Load(id, &reserved));
        return record;
    }
    template <class I>
    com::ComPtr<host::FieldSet> fields_of(const com::ComPtr<I>& record) {
        com::ComPtr<host::FieldSet> fields;
        com::check(record.template as<host::DataObject>()->Fields(1, fields.put()));
        return fields;
    }
    HRESULT set(host::FieldSet& fields, LONG id, std::u16string_view text) {
        com::Variant v(text);
        return fields.put_Field(id, v.get());
    }
    std::u16string get(host::FieldSet& fields, LONG id) {
        com::Variant v;
        com::check(fields.get_Field(id, v.receive()));
        EXPECT_EQ(v.type(), VT_BSTR);
        return std::u16string(com::bstr_view(v.get().bstrVal));
    }
    // One import line's worth: load, set the photo, save, close down twice.
    template <class I>
    void write_photo(LONG id, std::u16string_view photo) {
        auto record = loaded<I>(id);
        com::check(set(*fields_of(record).get(), host::PHOTO_FIELD_ID, photo));
        com::check(record->Save());
        com::check(record->CloseDown());
        com::check(record->CloseDown());
    }

    ReferenceHost host_;
    com::ComPtr<host::SessionContext> session_ = host_.new_session();
};

template <class I>
class EveryRecordClass : public RecordObjectTest {};
using RecordInterfaces =
    ::testing::Types<host::FacultyStaffRecord, host::ApplicantRecord, host::StudentRecord, host::IndividualRecord>;
TYPED_TEST_SUITE(EveryRecordClass, RecordInterfaces);

TYPED_TEST(EveryRecordClass, WritesThePhotoOfItsOwnTypeOnly) {
    const std::string mine = host::narrow_name(record_type_of<TypeParam>());
    for (const host::RecordType& type : host::kRecordTypes)
        this->host_.records().add({host::narrow_name(type), 12, "Pat", std::string("before")});

    this->template write_photo<TypeParam>(12, u"after");

    for (const host::RecordType& row : host::kRecordTypes) {
        const std::string type = host::narrow_name(row);
        EXPECT_EQ(this->host_.records().photo(type, 12), type == mine ? "after" : "before") << type;
    }
    const std::string cls(record_type_of<TypeParam>().class_name);
    const Journal& j = this->host_.journal();
    EXPECT_TRUE(j.contains(cls + ".Load(12,0)")) << j.to_string();
    EXPECT_TRUE(j.contains("DataObject.Fields(1)"));
    EXPECT_TRUE(j.contains("FieldSet.Field(61,<5 chars>)"));
    EXPECT_EQ(j.count(cls + ".Save"), 1u);
    // The second CloseDown is harmless: it succeeds too.
    const auto closes = j.calls_to(cls + ".CloseDown");
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[1].result, S_OK);
}

TYPED_TEST(EveryRecordClass, AMissingRecordFailsToLoadWithItsTypeAndIdInTheDescription) {
    // The same ID under every other type does not count.
    for (const host::RecordType& type : host::kRecordTypes)
        if (&type != &record_type_of<TypeParam>())
            this->host_.records().add({host::narrow_name(type), 123, "Other", {}});
    auto record = this->template create<TypeParam>();
    com::check(record->Init(this->session_.addressof()));
    LONG reserved = 0;
    EXPECT_EQ(record->Load(123, &reserved), E_FAIL);
    EXPECT_EQ(error_description(), std::u16string(record_type_of<TypeParam>().name) + u" record 123 not found");
    EXPECT_EQ(reserved, 0);
    // Nothing is loaded: there are no fields to hand out, and CloseDown still works, twice.
    com::ComPtr<host::FieldSet> fields;
    EXPECT_EQ(record.template as<host::DataObject>()->Fields(1, fields.put()), E_UNEXPECTED);
    EXPECT_FALSE(fields);
    EXPECT_EQ(record->CloseDown(), S_OK);
    EXPECT_EQ(record->CloseDown(), S_OK);
}

TEST_F(RecordObjectTest, EveryByteValueComesBackAsStoredThroughTheCodePage) {
    std::string bytes(512, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(255 - i % 256);
    const std::u16string photo = text::ansi_to_utf16(bytes);
    ASSERT_EQ(photo.size(), bytes.size());
    host_.records().add({"Student", 1, "Ann", std::nullopt});

    write_photo<host::StudentRecord>(1, photo);
    EXPECT_EQ(host_.records().photo("Student", 1), bytes);
    EXPECT_EQ(photo_type(host_.records(), "Student", 1), "blob");
    // A fresh object reads the same text back.
    auto again = loaded<host::StudentRecord>(1);
    EXPECT_EQ(get(*fields_of(again).get(), host::PHOTO_FIELD_ID), photo);
}

TEST_F(RecordObjectTest, TheEmptyTextClearsThePhotoToNull) {
    host_.records().add({"Applicant", 4, "Bo", std::string("old photo")});
    write_photo<host::ApplicantRecord>(4, u"");
    EXPECT_EQ(photo_type(host_.records(), "Applicant", 4), "null");
    EXPECT_TRUE(host_.journal().contains("FieldSet.Field(61,<0 chars>)"));
    auto again = loaded<host::ApplicantRecord>(4);
    EXPECT_EQ(get(*fields_of(again).get(), host::PHOTO_FIELD_ID), u"");
}

TEST_F(RecordObjectTest, APhotoTheCodePageCannotHoldIsRefusedNotMangled) {
    host_.records().add({"Student", 2, "Cy", std::string("kept")});
    auto record = loaded<host::StudentRecord>(2);
    auto fields = fields_of(record);
    EXPECT_EQ(set(*fields.get(), host::PHOTO_FIELD_ID, u"ab\u4E00c"), com::kTypeMismatch);
    com::check(record->Save());
    EXPECT_EQ(host_.records().photo("Student", 2), "kept");
    // A question mark of its own is a byte like any other.
    com::check(set(*fields.get(), host::PHOTO_FIELD_ID, u"a?b"));
    com::check(record->Save());
    EXPECT_EQ(host_.records().photo("Student", 2), "a?b");
}

TEST_F(RecordObjectTest, EachSaveIsOneTransactionWithEveryChangedField) {
    host_.records().add({"Individual", 9, "Di", std::nullopt});
    auto record = loaded<host::IndividualRecord>(9);
    auto fields = fields_of(record);
    const auto commits = host_.records().connection().commits();

    com::check(record->Save());  // nothing changed yet: nothing written
    EXPECT_EQ(host_.records().connection().commits(), commits);

    com::check(set(*fields.get(), 1, u"Di Evans"));
    com::check(set(*fields.get(), host::PHOTO_FIELD_ID, u"one"));
    com::check(record->Save());
    EXPECT_EQ(host_.records().connection().commits(), commits + 1);
    EXPECT_EQ(host_.records().head("Individual", 9)->name, "Di Evans");
    EXPECT_EQ(host_.records().photo("Individual", 9), "one");

    com::check(set(*fields.get(), host::PHOTO_FIELD_ID, u"two"));
    com::check(record->Save());
    EXPECT_EQ(host_.records().connection().commits(), commits + 2);
    EXPECT_EQ(host_.records().photo("Individual", 9), "two");
    const auto saves = host_.journal().calls_to("IndividualRecord.Save");
    ASSERT_EQ(saves.size(), 3u);
    EXPECT_EQ(saves[0].outcome, "nothing changed");
    EXPECT_EQ(saves[1].outcome, "name \"Di Evans\", photo 3 bytes");
    EXPECT_EQ(saves[2].outcome, "photo 3 bytes");
}

TEST_F(RecordObjectTest, AFailedSaveWritesNothing) {
    host_.records().add({"Student", 3, "Ed", std::string("old")});
    host_.records().add({"Student", 4, "Flo", std::string("old")});
    host_.config().fail("StudentRecord.Save", E_FAIL, u"disk full", 0, 1);
    auto record = loaded<host::StudentRecord>(3);
    com::check(set(*fields_of(record).get(), host::PHOTO_FIELD_ID, u"new"));
    EXPECT_EQ(record->Save(), E_FAIL);
    EXPECT_EQ(error_description(), u"disk full");
    EXPECT_EQ(host_.records().photo("Student", 3), "old");

    // The record removed between Load and Save: the Save says so and writes nothing.
    auto gone = loaded<host::StudentRecord>(4);
    com::check(set(*fields_of(gone).get(), host::PHOTO_FIELD_ID, u"new"));
    host_.records().connection().exec("DELETE FROM records WHERE id = 4");
    EXPECT_EQ(gone->Save(), E_FAIL);
    EXPECT_EQ(error_description(), u"Student record 4 no longer exists; nothing was saved");
    EXPECT_FALSE(host_.records().head("Student", 4));
}

TEST_F(RecordObjectTest, MembersOutOfOrderAreRefusedWithAReason) {
    host_.records().add({"Faculty/Staff", 5, "Gus", std::nullopt});
    auto record = create<host::FacultyStaffRecord>();
    LONG reserved = 0;
    EXPECT_EQ(record->Load(5, &reserved), E_UNEXPECTED);  // before Init
    EXPECT_EQ(error_description(), u"FacultyStaffRecord is not bound to a session (Init first)");
    EXPECT_EQ(record->Save(), E_UNEXPECTED);  // nothing loaded
    EXPECT_EQ(error_description(), u"FacultyStaffRecord has no record loaded (Load first)");

    com::check(record->Init(session_.addressof()));
    com::check(record->Load(5, &reserved));
    com::ComPtr<host::FieldSet> fields;
    EXPECT_EQ(record.as<host::DataObject>()->Fields(2, fields.put()), E_INVALIDARG);
    fields = fields_of(record);
    EXPECT_EQ(set(*fields.get(), 7, u"x"), E_INVALIDARG);  // no such field
    EXPECT_EQ(set(*fields.get(), 1, u""), E_INVALIDARG);   // a name is never empty
    com::Variant number(LONG{5});
    EXPECT_EQ(fields->put_Field(host::PHOTO_FIELD_ID, number.get()), com::kTypeMismatch);
    EXPECT_EQ(get(*fields.get(), 1), u"Gus");

    // CloseDown lets go of the record: a Save after it has nothing to write to.
    com::check(record->CloseDown());
    EXPECT_EQ(record->Save(), E_UNEXPECTED);
    EXPECT_EQ(record->Load(5, &reserved), E_UNEXPECTED);  // and of the session
}

TEST_F(RecordObjectTest, InitCanHandBackAnotherSessionAndEverythingIsReleased) {
    host_.records().add({"Student", 6, "Hal", std::nullopt});
    host_.config().replace_context("StudentRecord.Init");
    const std::string first = host_.name_of(session_.get());
    {
        auto record = loaded<host::StudentRecord>(6);
        EXPECT_NE(host_.name_of(session_.get()), first);
        auto fields = fields_of(record);
        EXPECT_EQ(host_.live().of("FieldSet").objects, 1);
        com::check(record->CloseDown());
        com::check(record->CloseDown());
    }
    const LiveCounts live = host_.live();
    EXPECT_EQ(live.of("StudentRecord").objects, 0);
    EXPECT_EQ(live.of("FieldSet").objects, 0);
    EXPECT_EQ(host_.journal().created("StudentRecord"), host_.journal().released("StudentRecord"));
}

TEST_F(RecordObjectTest, InjectedFailuresReachEveryMember) {
    host_.records().add({"Student", 8, "Ivy", std::nullopt});
    host_.config().fail("StudentRecord.Load", E_ACCESSDENIED, u"no rights", 0, 1);
    auto record = create<host::StudentRecord>();
    com::check(record->Init(session_.addressof()));
    LONG reserved = 0;
    EXPECT_EQ(record->Load(8, &reserved), E_ACCESSDENIED);
    EXPECT_EQ(error_description(), u"no rights");
    com::check(record->Load(8, &reserved));  // the one failure is used up

    host_.config().fail("DataObject.Fields", E_FAIL, u"fields gone");
    com::ComPtr<host::FieldSet> fields;
    EXPECT_EQ(record.as<host::DataObject>()->Fields(1, fields.put()), E_FAIL);
    host_.config().clear_failures();
    fields = fields_of(record);
    host_.config().fail("FieldSet.Field", E_FAIL, u"read only");
    EXPECT_EQ(set(*fields.get(), host::PHOTO_FIELD_ID, u"x"), E_FAIL);
    host_.config().fail("StudentRecord.Create", CLASS_E_CLASSNOTAVAILABLE);
    com::ComPtr<host::StudentRecord> none;
    EXPECT_EQ(CoCreateInstance(host::CLSID_StudentRecord, nullptr, CLSCTX_INPROC_SERVER,
                               com::iid_of<host::StudentRecord>(), none.put_void()),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST(RecordDatabaseTest, AnOpenedDatabaseServesRecordsAndTheInstalledModules) {
    test::TempFolder dir;
    const auto file = dir / "school.db";
    store::RecordStore::create(file, {store::kModuleHV})->add({"Student", 10, "Jo", std::nullopt});
    ReferenceHost host;
    host.open_database(file);

    auto session = host.new_session();
    com::ComPtr<host::SystemInfo> info;
    com::check(CoCreateInstance(host::CLSID_SystemInfo, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<host::SystemInfo>(),
                                info.put_void()));
    com::check(info->Init(session.addressof()));
    LONG reserved = 0;
    VARIANT_BOOL hm = VARIANT_TRUE, hv = VARIANT_FALSE;
    com::check(info->IsSystemInstalled(host::kModuleHM, -1, -1, &reserved, &hm));
    com::check(info->IsSystemInstalled(host::kModuleHV, -1, -1, &reserved, &hv));
    EXPECT_EQ(hm, VARIANT_FALSE);  // the database says so, whatever the configuration holds
    EXPECT_EQ(hv, VARIANT_TRUE);

    com::ComPtr<host::StudentRecord> record;
    com::check(CoCreateInstance(host::CLSID_StudentRecord, nullptr, CLSCTX_INPROC_SERVER,
                                com::iid_of<host::StudentRecord>(), record.put_void()));
    com::check(record->Init(session.addressof()));
    com::check(record->Load(10, &reserved));
    com::ComPtr<host::FieldSet> fields;
    com::check(record.as<host::DataObject>()->Fields(1, fields.put()));
    com::Variant photo(std::u16string_view(u"\u00FF\u0081"));  // bytes FF 81
    com::check(fields->put_Field(host::PHOTO_FIELD_ID, photo.get()));
    com::check(record->Save());
    EXPECT_EQ(store::RecordStore::open(file)->photo("Student", 10), "\xFF\x81");

    EXPECT_THROW(host.open_database(dir / "missing.db"), store::StoreError);
}

}  // namespace
}  // namespace zn::refhost
