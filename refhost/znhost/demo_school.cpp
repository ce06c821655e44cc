#include "refhost/znhost/demo_school.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/text/utf.h"
#include "refhost/store/record_store.h"

namespace zn::refhost {
namespace {

constexpr std::array<std::string_view, 16> kFirstNames = {"Ada",  "Ben",  "Chloe", "Dev", "Elif", "Farah",
                                                          "Gus",  "Hana", "Ivan",  "Jo",  "Kai",  "Lena",
                                                          "Milo", "Nia",  "Omar",  "Pia"};
constexpr std::array<std::string_view, 12> kLastNames = {"Abbott", "Brandt", "Castro", "Duarte", "Eriksen", "Fujita",
                                                         "Garcia", "Haddad", "Ito",    "Jensen", "Kowal",   "Laine"};

std::string name_of(std::int32_t id) {
    const auto n = static_cast<std::size_t>(id);
    return std::string(kLastNames[n % kLastNames.size()]) + " " +
           std::string(kFirstNames[(n / kLastNames.size()) % kFirstNames.size()]);
}

void put_le(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// One import line, ending as the host's export ends its lines.
void add_line(std::string& csv, std::string_view line) {
    csv += line;
    csv += "\r\n";
}

}  // namespace

std::string portrait_bmp(std::uint32_t seed, int width, int height) {
    const auto channel = [&](int shift) {
        return static_cast<std::uint8_t>(80 + ((seed * 2654435761u) >> shift) % 150);
    };
    const std::array<std::uint8_t, 3> background = {channel(3), channel(11), channel(19)};  // blue, green, red
    const std::array<std::uint8_t, 3> skin = {static_cast<std::uint8_t>(150 + seed % 60),
                                              static_cast<std::uint8_t>(170 + seed % 50), 225};
    const std::array<std::uint8_t, 3> shirt = {channel(7), channel(23), channel(15)};
    const int stride = (width * 3 + 3) / 4 * 4;
    const auto image_size = static_cast<std::uint32_t>(stride * height);

    std::string bmp;
    bmp.reserve(54 + image_size);
    bmp += "BM";
    put_le(bmp, 54 + image_size, 4);
    put_le(bmp, 0, 4);
    put_le(bmp, 54, 4);  // where the pixels start
    put_le(bmp, 40, 4);  // BITMAPINFOHEADER
    put_le(bmp, static_cast<std::uint32_t>(width), 4);
    put_le(bmp, static_cast<std::uint32_t>(height), 4);  // positive: bottom row first
    put_le(bmp, 1, 2);
    put_le(bmp, 24, 2);
    put_le(bmp, 0, 4);  // no compression
    put_le(bmp, image_size, 4);
    put_le(bmp, 2835, 4);  // 72 dpi
    put_le(bmp, 2835, 4);
    put_le(bmp, 0, 4);
    put_le(bmp, 0, 4);

    // Rows are stored bottom first; y counts from the top.
    const int cx = width / 2, cy = height * 2 / 5, r = width / 5 + 1;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const int dx = x - cx, dy = y - cy;
            const bool head = dx * dx + dy * dy <= r * r;
            const int below_chin = y - (cy + r - 1);
            const bool body = below_chin >= 0 && std::abs(dx) <= std::min(width * 2 / 5, 3 + below_chin * 3);
            const auto& c = head ? skin : body ? shirt : background;
            bmp.append(reinterpret_cast<const char*>(c.data()), 3);
        }
        bmp.append(static_cast<std::size_t>(stride - width * 3), '\0');
    }
    return bmp;
}

DemoSchool make_demo_school(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    DemoSchool school;
    school.database = dir / "school.db";
    std::filesystem::remove(school.database);
    const std::filesystem::path photos = std::filesystem::absolute(dir / "photos");
    std::filesystem::remove_all(photos);

    auto records = store::RecordStore::create(school.database, {store::kModuleHM, store::kModuleHV});
    // All records in one transaction: a few hundred separate commits would take seconds.
    store::Transaction all(records->connection());
    for (const DemoType& t : kDemoTypes) {
        const std::filesystem::path folder = photos / t.folder;
        std::filesystem::create_directories(folder);
        DemoImport import{&t, dir / (std::string(t.folder) + "-export.csv")};
        std::string csv;
        add_line(csv, "System record ID," + text::to_utf8(t.record_type.heading_identifier) + ",Photo file");
        import.lines = 1;

        for (int i = 0; i < t.count; ++i) {
            const std::int32_t id = t.first_id + i;
            const auto seed = static_cast<std::uint32_t>(id);
            store::Record record{host::narrow_name(t.record_type), id, name_of(id), std::nullopt};
            if (i % 5 == 0) record.photo = portrait_bmp(seed ^ 0xA5A5u, 24, 30);  // an older, smaller photo
            records->add(record);

            // Most records have a new photo file; every 23rd has none (its file is missing).
            const std::filesystem::path file = folder / (std::to_string(id) + ".bmp");
            if (i % 23 == 7)
                ++import.without_photo;
            else
                write_file(file, portrait_bmp(seed));
            add_line(csv, std::to_string(id) + "," + record.name + "," + file.string());
            ++import.lines;

            // A few bad lines along the way, as a hand-edited export has them.
            if (i == t.count / 4) {
                add_line(csv, "");
                ++import.lines, ++import.bad_lines;
            } else if (i == t.count / 2) {
                add_line(csv, "n/a," + name_of(id + 1) + " (no ID)," + file.string());
                ++import.lines, ++import.bad_lines;
            } else if (i == t.count * 3 / 4) {
                // An ID that no record has: Load fails.
                add_line(csv, std::to_string(t.first_id + t.count + 1000) + ",Left School," + file.string());
                ++import.lines, ++import.bad_lines;
            }
        }
        write_file(import.csv, csv);
        school.imports.push_back(import);
    }
    all.commit();
    return school;
}

}  // namespace zn::refhost
