// The registration store as a text file shared by every process of the user. Each call reads
// the file afresh (another process may have registered a class meanwhile); each change is
// made under an exclusive lock and written to a new file that then replaces the old one, so
// a reader never sees half a file.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/com/com_error.h"
#include "platform/com/posix/registry_text.h"
#include "platform/com/registry.h"
#include "platform/com/registry_path.h"
#include "platform/text/utf.h"

namespace zn::com::registry {
namespace {

namespace fs = std::filesystem;

fs::path store_path() {
    if (const char* explicit_path = std::getenv("ZN_REGISTRY"); explicit_path && *explicit_path) return explicit_path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return fs::path(config) / "znimportphotos" / "registry";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) throw ComError(REGDB_E_READREGDB, u"No location for the registration file");
    return fs::path(home) / ".config" / "znimportphotos" / "registry";
}

RegistryKey read_store(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (!fs::exists(path, ec) && !ec) return {};
        throw ComError(REGDB_E_READREGDB, u"Cannot read the registration file " + text::from_utf8(path.string()));
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw ComError(REGDB_E_READREGDB, u"Cannot read the registration file " + text::from_utf8(path.string()));
    return parse_registry_text(content.str());
}

[[noreturn]] void write_failed(const fs::path& path) {
    throw ComError(REGDB_E_WRITEREGDB, u"Cannot write the registration file " + text::from_utf8(path.string()));
}

void write_store(const fs::path& path, const RegistryKey& root) {
    const std::string content = format_registry_text(root);
    const fs::path temp = path.string() + ".tmp." + std::to_string(getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) write_failed(path);
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool ok = written == content.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        write_failed(path);
    }
}

// Serialises writers across processes for one read-modify-write.
class StoreLock {
public:
    explicit StoreLock(const fs::path& path) {
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec) write_failed(path);
        fd_ = ::open((path.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) write_failed(path);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                write_failed(path);
            }
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock() { ::close(fd_); }

private:
    int fd_ = -1;
};

// Runs change on the current store and writes the result when change reports a change.
template <class Change>
auto modify(Change&& change) {
    const fs::path path = store_path();
    StoreLock lock(path);
    RegistryKey root = read_store(path);
    const auto result = change(root);
    if (result) write_store(path, root);
    return result;
}

RegistryKey read_current() {
    return read_store(store_path());
}

// The parent of the key at key_path and the key's index among its subkeys, or null.
std::pair<RegistryKey*, std::size_t> locate(RegistryKey& root, std::u16string_view key_path) {
    const auto names = split_key_path(key_path);
    if (names.empty()) throw ComError(E_INVALIDARG, u"The root key cannot be removed");
    RegistryKey* parent = &root;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        parent = parent->find(names[i]);
        if (!parent) return {nullptr, 0};
    }
    for (std::size_t i = 0; i < parent->subkeys.size(); ++i)
        if (same_key_name(parent->subkeys[i]->name, names.back())) return {parent, i};
    return {nullptr, 0};
}

}  // namespace

void create_key(std::u16string_view key_path) {
    split_key_path(key_path);
    modify([&](RegistryKey& root) {
        const bool existed = find_key(root, key_path) != nullptr;
        make_key(root, key_path);
        return !existed;
    });
}

void set_value(std::u16string_view key_path, std::u16string_view name, std::u16string_view value) {
    split_key_path(key_path);
    modify([&](RegistryKey& root) {
        RegistryKey& key = make_key(root, key_path);
        if (std::u16string* existing = key.find_value(name)) {
            if (*existing == value) return false;
            *existing = value;
        } else {
            key.values.emplace_back(name, value);
        }
        return true;
    });
}

std::optional<std::u16string> get_value(std::u16string_view key_path, std::u16string_view name) {
    split_key_path(key_path);
    RegistryKey root = read_current();
    RegistryKey* key = find_key(root, key_path);
    if (!key) return std::nullopt;
    if (const std::u16string* value = key->find_value(name)) return *value;
    return std::nullopt;
}

bool key_exists(std::u16string_view key_path) {
    split_key_path(key_path);
    const RegistryKey root = read_current();
    return find_key(root, key_path) != nullptr;
}

// The stand-in is one store, as a 32-bit Windows has one view.
bool key_exists_in_other_view(std::u16string_view key_path) {
    split_key_path(key_path);
    return false;
}

std::vector<std::u16string> subkeys(std::u16string_view key_path) {
    split_key_path(key_path);
    const RegistryKey root = read_current();
    std::vector<std::u16string> names;
    if (const RegistryKey* key = find_key(root, key_path))
        for (const auto& child : key->subkeys) names.push_back(child->name);
    return names;
}

std::vector<std::pair<std::u16string, std::u16string>> values(std::u16string_view key_path) {
    split_key_path(key_path);
    const RegistryKey root = read_current();
    if (const RegistryKey* key = find_key(root, key_path)) return key->values;
    return {};
}

bool delete_value(std::u16string_view key_path, std::u16string_view name) {
    split_key_path(key_path);
    return modify([&](RegistryKey& root) {
        RegistryKey* key = find_key(root, key_path);
        if (!key) return false;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (same_key_name(it->first, name)) {
                key->values.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool delete_key_if_empty(std::u16string_view key_path) {
    split_key_path(key_path);
    return modify([&](RegistryKey& root) {
        auto [parent, index] = locate(root, key_path);
        if (!parent) return false;
        const RegistryKey& key = *parent->subkeys[index];
        if (!key.values.empty() || !key.subkeys.empty()) return false;
        parent->subkeys.erase(parent->subkeys.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    });
}

bool delete_tree(std::u16string_view key_path) {
    split_key_path(key_path);
    return modify([&](RegistryKey& root) {
        auto [parent, index] = locate(root, key_path);
        if (!parent) return false;
        parent->subkeys.erase(parent->subkeys.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    });
}

}  // namespace zn::com::registry
