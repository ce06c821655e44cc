// znhost demo [DIR]: makes a demo school and imports every type's photos through the plug-in,
// as a user would, then shows what changed.
#include <cstdio>
#include <map>

#include "platform/text/utf.h"
#include "refhost/store/record_store.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/demo_school.h"
#include "refhost/znhost/hosted_import.h"
#include "refhost/znhost/std_streams.h"

namespace zn::refhost {
namespace {

// Records with a photo, per type.
std::map<std::string, int, std::less<>> photos_per_type(const std::filesystem::path& database) {
    std::map<std::string, int, std::less<>> counts;
    for (const auto& r : store::RecordStore::open(database)->list())
        if (r.photo_bytes > 0) ++counts[r.type];
    return counts;
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace

int run_demo(std::span<const std::string_view> args) {
    if (args.size() > 1 || (!args.empty() && args[0].starts_with("-"))) {
        console::error("usage: znhost demo [DIR]");
        return kExitUsage;
    }
    const std::filesystem::path dir = path_from_utf8(args.empty() ? "demo" : args[0]);

    console::line("1. Making a demo school in " + dir.string());
    DemoSchool school;
    try {
        school = make_demo_school(dir);
    } catch (const std::exception& e) {
        console::error(std::string("znhost: ") + e.what());
        return kExitFailure;
    }
    console::line("   Record database: " + school.database.string() + " (system modules HM and HV installed)");
    for (const DemoImport& i : school.imports)
        console::line("   " + padded(host::narrow_name(i.type->record_type), 14) + std::to_string(i.type->count) +
                      " records, import file " + i.csv.filename().string() + ": " + std::to_string(i.lines) +
                      " lines (a heading row, " + std::to_string(i.bad_lines) + " bad lines, " +
                      std::to_string(i.without_photo) + " records without a photo file)");
    const auto before = photos_per_type(school.database);

    console::line();
    console::line("2. Importing each type's photos through the plug-in's page (every prompt answered OK;");
    console::line("   message boxes appear on standard error as they are shown)");
    std::map<std::string, SaveCounts, std::less<>> saved;
    bool all_imported = true;
    for (const DemoImport& i : school.imports) {
        const std::string type = host::narrow_name(i.type->record_type);
        console::line();
        console::line(
            "   " + type + ": choose " + type + ", type " + i.csv.string() +
            (i.type->remove_missing ? ", tick \"Remove existing photos if no photo defined in import file\"" : "") +
            ", click Process");
        std::fflush(stdout);
        ReferenceHost host;
        host.open_database(school.database);
        MessageBoxAnswers answers({ui::Answer::Ok});
        const ImportRequest request{text::from_utf8(type), text::from_utf8(i.csv.string()), i.type->remove_missing,
                                    is_terminal(stderr)};
        const ImportOutcome outcome = host_import(host, request, answers);
        for (const std::string& p : outcome.problems) console::error("znhost: " + p);
        saved[type] = outcome.saves;
        const SaveCounts& s = saved[type];
        console::line("   " + std::string(outcome.end == ImportEnd::Imported ? "Imported" : "NOT imported") + ": " +
                      std::to_string(s.saved) + " records saved (" + std::to_string(s.photos_set) + " photos stored, " +
                      std::to_string(s.photos_cleared) + " cleared), " + std::to_string(outcome.boxes.size()) +
                      " message boxes");
        if (outcome.end != ImportEnd::Imported) all_imported = false;
        if (!outcome.problems.empty() && outcome.problems.front().starts_with("create the plug-in"))
            console::error("znhost: is the module registered? (znhost register PATH)");
    }

    console::line();
    console::line("3. What changed: records with a photo, before and after");
    const auto after = photos_per_type(school.database);
    console::line("   " + padded("type", 14) + padded("records", 9) + padded("before", 8) + padded("after", 7) +
                  "stored  cleared");
    for (const DemoImport& i : school.imports) {
        const std::string type = host::narrow_name(i.type->record_type);
        const auto count = [&](const auto& m) {
            const auto it = m.find(type);
            return it == m.end() ? 0 : it->second;
        };
        console::line("   " + padded(type, 14) + padded(std::to_string(i.type->count), 9) +
                      padded(std::to_string(count(before)), 8) + padded(std::to_string(count(after)), 7) +
                      padded(std::to_string(saved[type].photos_set), 8) + std::to_string(saved[type].photos_cleared));
    }
    console::line();
    console::line("Look closer: znhost list " + school.database.string() + " Student");
    console::line("             znhost photo " + school.database.string() + " Student " +
                  std::to_string(kDemoTypes[0].first_id) + " -o photo.bmp");
    return all_imported ? kExitOk : kExitFailure;
}

}  // namespace zn::refhost
