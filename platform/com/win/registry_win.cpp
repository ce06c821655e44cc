// The class registration store is the system registry under HKEY_CLASSES_ROOT.
#include <string>

#include "platform/com/com.h"
#include "platform/com/com_error.h"
#include "platform/com/registry.h"
#include "platform/com/registry_path.h"

namespace zn::com::registry {
namespace {

std::wstring wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
std::u16string narrow(const wchar_t* s, std::size_t n) {
    return std::u16string(reinterpret_cast<const char16_t*>(s), n);
}

// An open key, closed on scope exit.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h_ && h_ != HKEY_CLASSES_ROOT) RegCloseKey(h_);
    }
    HKEY* put() { return &h_; }
    HKEY get() const { return h_; }
    void set_root() { h_ = HKEY_CLASSES_ROOT; }

private:
    HKEY h_ = nullptr;
};

[[noreturn]] void fail(HRESULT kind, LONG status) {
    throw ComError(status == ERROR_ACCESS_DENIED ? E_ACCESSDENIED : kind);
}

// Opens the key for reading; false when it does not exist.
bool open_key(std::u16string_view key_path, REGSAM access, Key& key) {
    split_key_path(key_path);
    if (key_path.empty()) {
        key.set_root();
        return true;
    }
    const LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(key_path).c_str(), 0, access, key.put());
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
    return true;
}

void create(std::u16string_view key_path, Key& key) {
    split_key_path(key_path);
    if (key_path.empty()) {
        key.set_root();
        return;
    }
    const LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, wide(key_path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) fail(REGDB_E_WRITEREGDB, status);
}

// A string value's text, or nothing for a missing or non-string value.
std::optional<std::u16string> read_string(HKEY key, const wchar_t* name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;  // changed meanwhile
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
        std::size_t n = size / sizeof(wchar_t);
        // The stored text may or may not carry its terminator.
        while (n > 0 && buffer[n - 1] == L'\0') --n;
        return narrow(buffer.data(), n);
    }
    fail(REGDB_E_READREGDB, ERROR_MORE_DATA);
}

}  // namespace

void create_key(std::u16string_view key_path) {
    Key key;
    create(key_path, key);
}

void set_value(std::u16string_view key_path, std::u16string_view name, std::u16string_view value) {
    Key key;
    create(key_path, key);
    const std::wstring text = wide(value);
    const LONG status = RegSetValueExW(key.get(), name.empty() ? nullptr : wide(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) fail(REGDB_E_WRITEREGDB, status);
}

std::optional<std::u16string> get_value(std::u16string_view key_path, std::u16string_view name) {
    Key key;
    if (!open_key(key_path, KEY_READ, key)) return std::nullopt;
    const std::wstring value_name = wide(name);
    return read_string(key.get(), name.empty() ? nullptr : value_name.c_str());
}

bool key_exists(std::u16string_view key_path) {
    Key key;
    return open_key(key_path, KEY_READ, key);
}

bool key_exists_in_other_view(std::u16string_view key_path) {
#ifdef _WIN64
    const REGSAM other_view = KEY_WOW64_32KEY;
#else
    // A 32-bit program has another view only on 64-bit Windows.
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return false;
    const REGSAM other_view = KEY_WOW64_64KEY;
#endif
    split_key_path(key_path);
    const std::wstring path = L"Software\\Classes\\" + wide(key_path);
    Key key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | other_view, key.put()) == ERROR_SUCCESS;
}

std::vector<std::u16string> subkeys(std::u16string_view key_path) {
    std::vector<std::u16string> names;
    Key key;
    if (!open_key(key_path, KEY_READ, key)) return names;
    wchar_t name[256];  // the longest key name the registry allows, and its terminator
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        const LONG status = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
        names.push_back(narrow(name, length));
    }
    return names;
}

std::vector<std::pair<std::u16string, std::u16string>> values(std::u16string_view key_path) {
    std::vector<std::pair<std::u16string, std::u16string>> result;
    Key key;
    if (!open_key(key_path, KEY_READ, key)) return result;
    std::wstring name(16384, L'\0');  // the longest value name the registry allows
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
        const std::wstring value_name(name.data(), length);
        if (auto text = read_string(key.get(), value_name.empty() ? nullptr : value_name.c_str()))
            result.emplace_back(narrow(value_name.data(), value_name.size()), std::move(*text));
    }
    return result;
}

bool delete_value(std::u16string_view key_path, std::u16string_view name) {
    Key key;
    if (!open_key(key_path, KEY_SET_VALUE, key)) return false;
    const LONG status = RegDeleteValueW(key.get(), name.empty() ? nullptr : wide(name).c_str());
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) fail(REGDB_E_WRITEREGDB, status);
    return true;
}

bool delete_key_if_empty(std::u16string_view key_path) {
    if (split_key_path(key_path).empty()) throw ComError(E_INVALIDARG, u"The root key cannot be removed");
    {
        Key key;
        if (!open_key(key_path, KEY_READ, key)) return false;
        DWORD subkey_count = 0;
        DWORD value_count = 0;
        const LONG status = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkey_count, nullptr, nullptr,
                                             &value_count, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) fail(REGDB_E_READREGDB, status);
        if (subkey_count != 0 || value_count != 0) return false;
    }
    const LONG status = RegDeleteKeyW(HKEY_CLASSES_ROOT, wide(key_path).c_str());
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) fail(REGDB_E_WRITEREGDB, status);
    return true;
}

bool delete_tree(std::u16string_view key_path) {
    if (split_key_path(key_path).empty()) throw ComError(E_INVALIDARG, u"The root key cannot be removed");
    const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, wide(key_path).c_str());
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) fail(REGDB_E_WRITEREGDB, status);
    // Older systems leave the named key itself behind; remove it too.
    const LONG removed = RegDeleteKeyW(HKEY_CLASSES_ROOT, wide(key_path).c_str());
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) fail(REGDB_E_WRITEREGDB, removed);
    return true;
}

}  // namespace zn::com::registry
