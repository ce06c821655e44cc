// A made-up school for the demo: a record database with a few hundred records of every type,
// a photo file for most of them (small bitmaps drawn here), and per type an import file as a
// user would export it from the host: a heading row, one line per record, and a few bad lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/record_types.h"

namespace zn::refhost {

struct DemoType {
    const host::RecordType& record_type;
    std::string_view folder;  // where its photos go
    std::int32_t first_id;
    int count;
    bool remove_missing;  // imported with the check box ticked
};

inline constexpr DemoType kDemoTypes[] = {
    {*host::find_record_type(u"Student"), "students", 1001, 400, false},
    {*host::find_record_type(u"Applicant"), "applicants", 5001, 250, false},
    {*host::find_record_type(u"Faculty/Staff"), "staff", 201, 200, false},
    {*host::find_record_type(u"Individual"), "individuals", 30001, 300, true},
};

struct DemoImport {
    const DemoType* type;
    std::filesystem::path csv;
    int lines = 0;          // in the import file, heading row and bad lines included
    int bad_lines = 0;      // lines that bring up the error prompt
    int without_photo = 0;  // data rows whose photo file does not exist
};

struct DemoSchool {
    std::filesystem::path database;
    std::vector<DemoImport> imports;  // one per record type
};

// Makes the school in dir (created if need be); replaces what an earlier demo made there.
DemoSchool make_demo_school(const std::filesystem::path& dir);

// A 24-bit bitmap file of width x height pixels: a head and shoulders on a background, its
// colours chosen by seed.
std::string portrait_bmp(std::uint32_t seed, int width = 40, int height = 48);

}  // namespace zn::refhost
