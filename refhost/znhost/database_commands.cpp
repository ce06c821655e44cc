// znhost's commands on a record database without the plug-in: init, add, list, photo.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "host/record_types.h"
#include "refhost/store/record_store.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/std_streams.h"

namespace zn::refhost {
namespace {

std::optional<std::set<std::int64_t>> modules_named(std::string_view which) {
    if (which == "all") return std::set<std::int64_t>{store::kModuleHM, store::kModuleHV};
    if (which == "HM") return std::set<std::int64_t>{store::kModuleHM};
    if (which == "HV") return std::set<std::int64_t>{store::kModuleHV};
    if (which == "none") return std::set<std::int64_t>{};
    return std::nullopt;
}

std::optional<std::int32_t> record_id(std::string_view text) {
    std::int32_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return id;
}

bool known_type(std::string_view type) {
    if (store::is_record_type(type)) return true;
    console::error("unknown record type " + std::string(type) + " (one of " + host::narrow_names() + ")");
    return false;
}

std::optional<std::string> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Runs a command's body; a failure of the database is reported and exits 1.
template <class F>
int with_database(F&& body) {
    try {
        return body();
    } catch (const store::StoreError& e) {
        console::error("znhost: " + std::string(e.what()));
        return kExitFailure;
    }
}

}  // namespace

int run_init(std::span<const std::string_view> args) {
    std::vector<std::string_view> positional;
    std::string_view which = "all";
    bool bad = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--modules" && i + 1 < args.size())
            which = args[++i];
        else if (args[i].starts_with("--"))
            bad = true;
        else
            positional.push_back(args[i]);
    }
    const auto modules = modules_named(which);
    if (bad || positional.size() != 1 || !modules) {
        console::error("usage: znhost init DB [--modules all|HM|HV|none]");
        return kExitUsage;
    }
    const std::string_view db = positional[0];
    return with_database([&] {
        store::RecordStore::create(path_from_utf8(db), *modules);
        console::line("Created " + std::string(db) + " with system modules: " + std::string(which));
        return kExitOk;
    });
}

int run_add(std::span<const std::string_view> args) {
    std::vector<std::string_view> positional;
    std::optional<std::string_view> photo_file;
    bool bad = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--photo" && i + 1 < args.size())
            photo_file = args[++i];
        else if (args[i].starts_with("--"))
            bad = true;
        else
            positional.push_back(args[i]);
    }
    if (bad || positional.size() != 4) {
        console::error("usage: znhost add DB TYPE ID NAME [--photo FILE]");
        return kExitUsage;
    }
    const auto id = record_id(positional[2]);
    if (!id) {
        console::error("the ID must be a whole number from -2147483648 to 2147483647, not " +
                       std::string(positional[2]));
        return kExitUsage;
    }
    if (!known_type(positional[1])) return kExitUsage;
    store::Record record{std::string(positional[1]), *id, std::string(positional[3]), std::nullopt};
    if (photo_file) {
        record.photo = read_file(path_from_utf8(*photo_file));
        if (!record.photo) {
            console::error("znhost: cannot read " + std::string(*photo_file));
            return kExitFailure;
        }
    }
    return with_database([&] {
        store::RecordStore::open(path_from_utf8(positional[0]))->add(record);
        console::line("Added " + record.type + " record " + std::to_string(record.id) + " " + record.name +
                      (record.photo ? " with a photo of " + std::to_string(record.photo->size()) + " bytes" : ""));
        return kExitOk;
    });
}

int run_list(std::span<const std::string_view> args) {
    if (args.empty() || args.size() > 2 || args[0].starts_with("--")) {
        console::error("usage: znhost list DB [TYPE]");
        return kExitUsage;
    }
    std::optional<std::string_view> type;
    if (args.size() == 2) {
        if (!known_type(args[1])) return kExitUsage;
        type = args[1];
    }
    return with_database([&] {
        for (const auto& r : store::RecordStore::open(path_from_utf8(args[0]))->list(type))
            console::line(r.type + "\t" + std::to_string(r.id) + "\t" + r.name + "\t" + std::to_string(r.photo_bytes));
        return kExitOk;
    });
}

int run_photo(std::span<const std::string_view> args) {
    std::vector<std::string_view> positional;
    std::optional<std::string_view> out_file;
    bool bad = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            out_file = args[++i];
        else if (args[i].starts_with("-") && !record_id(args[i]))  // a negative ID is no option
            bad = true;
        else
            positional.push_back(args[i]);
    }
    if (bad || positional.size() != 3) {
        console::error("usage: znhost photo DB TYPE ID [-o FILE]");
        return kExitUsage;
    }
    const auto id = record_id(positional[2]);
    if (!id) {
        console::error("the ID must be a whole number, not " + std::string(positional[2]));
        return kExitUsage;
    }
    if (!known_type(positional[1])) return kExitUsage;
    return with_database([&] {
        auto records = store::RecordStore::open(path_from_utf8(positional[0]));
        const std::string type(positional[1]);
        if (!records->head(type, *id)) {
            console::error("znhost: " + type + " record " + std::to_string(*id) + " not found");
            return kExitNoPhoto;
        }
        const auto photo = records->photo(type, *id);
        if (!photo) {
            console::error("znhost: " + type + " record " + std::to_string(*id) + " has no photo");
            return kExitNoPhoto;
        }
        if (out_file) {
            std::ofstream out(path_from_utf8(*out_file), std::ios::binary | std::ios::trunc);
            out.write(photo->data(), static_cast<std::streamsize>(photo->size()));
            out.close();
            if (!out) {
                console::error("znhost: cannot write " + std::string(*out_file));
                return kExitFailure;
            }
            return kExitOk;
        }
        set_binary(stdout);
        if (std::fwrite(photo->data(), 1, photo->size(), stdout) != photo->size() || std::fflush(stdout) != 0) {
            console::error("znhost: cannot write the photo to standard output");
            return kExitFailure;
        }
        return kExitOk;
    });
}

}  // namespace zn::refhost
