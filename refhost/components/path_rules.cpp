#include "refhost/components/path_rules.h"

#include <filesystem>
#include <system_error>

#include "platform/text/utf.h"

namespace zn::refhost {
namespace {

bool is_separator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// Length of the root-free prefix that a drive letter takes ("C:" -> 2), or 0.
std::size_t drive_length(std::u16string_view path) {
    if (path.size() >= 2 && path[1] == u':' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')))
        return 2;
    return 0;
}

// Index just past the path's last separator or drive, i.e. where its file name starts.
std::size_t name_start(std::u16string_view path) {
    for (std::size_t i = path.size(); i > drive_length(path); --i)
        if (is_separator(path[i - 1])) return i;
    return drive_length(path);
}

}  // namespace

std::u16string folder_part(std::u16string_view path) {
    const std::size_t drive = drive_length(path);
    std::size_t end = name_start(path);
    if (end == drive) return std::u16string(path.substr(0, drive));  // "x" -> "", "C:x" -> "C:"
    // Drop the separators between folder and name, but keep the one that makes a root.
    while (end > drive + 1 && is_separator(path[end - 1])) --end;
    return std::u16string(path.substr(0, end));
}

std::u16string file_name_part(std::u16string_view path) {
    return std::u16string(path.substr(name_start(path)));
}

std::filesystem::path to_file_system_path(std::u16string_view path) {
    std::u16string portable(path);
    for (auto& c : portable)
        if (c == u'\\') c = u'/';
    const std::string utf8 = text::to_utf8(portable);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool path_exists(std::u16string_view path) {
    // A NUL would cut the name short at the system call and answer for another path.
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return false;
    const std::filesystem::path p = to_file_system_path(path);
    std::error_code ec;
    if (is_separator(path.back())) return std::filesystem::is_directory(p, ec);
    return std::filesystem::is_regular_file(p, ec);
}

std::u16string replace_all(std::u16string_view text, std::u16string_view search, std::u16string_view replacement,
                           std::size_t& count) {
    count = 0;
    if (search.empty()) return std::u16string(text);
    std::u16string r;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(search, from)) != std::u16string_view::npos; from = at + search.size()) {
        r.append(text.substr(from, at - from));
        r.append(replacement);
        ++count;
    }
    r.append(text.substr(from));
    return r;
}

}  // namespace zn::refhost
