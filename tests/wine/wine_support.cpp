#include "wine/wine_support.h"

#include <stdexcept>

#include "host/plugin_interfaces.h"
#include "platform/com/com_error.h"
#include "platform/com/com_ptr.h"

namespace zn::wine_test {

std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::string narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

std::wstring windows_path(std::string_view path) {
    std::wstring out;
    // Wine shows the Unix root as drive Z:.
    if (!path.empty() && path.front() == '/') out = L"Z:";
    for (char c : path) out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

std::wstring module_path() {
    return windows_path(ZN_MODULE_PATH);
}
std::wstring host_api_type_library_path() {
    return windows_path(ZN_HOST_API_TLB_PATH);
}

unsigned long run_process(const std::wstring& command_line, unsigned long timeout_ms) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring mutable_line = command_line;
    if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start: " + narrow(command_line));
    const DWORD waited = WaitForSingleObject(process.hProcess, timeout_ms);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0) throw std::runtime_error("did not finish: " + narrow(command_line));
    return code;
}

unsigned long regsvr32(const std::wstring& module, bool unregister) {
    return run_process(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + module + L"\"");
}

namespace {
class Key {
public:
    explicit Key(const std::wstring& path, REGSAM access = KEY_READ) {
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};
}  // namespace

bool key_exists(const std::wstring& path) {
    return Key(path).get() != nullptr;
}

std::optional<std::wstring> string_value(const std::wstring& path, const std::wstring& name) {
    Key key(path);
    if (!key.get()) return std::nullopt;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), name.empty() ? nullptr : name.c_str(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw std::runtime_error("not a string value: " + narrow(path));
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name.empty() ? nullptr : name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::vector<std::wstring> subkey_names(const std::wstring& path) {
    std::vector<std::wstring> names;
    Key key(path);
    if (!key.get()) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

void write_key(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + narrow(path));
    const LONG rc = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot write " + narrow(path));
}

void delete_tree(const std::wstring& path) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
}

std::wstring guid_text(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

void register_host_type_library() {
    std::wstring path = host_api_type_library_path();
    std::wstring folder = path.substr(0, path.rfind(L'\\'));
    com::ComPtr<ITypeLib> library;
    com::check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
    com::check(RegisterTypeLib(library.get(), path.data(), folder.data()));
}

void unregister_host_type_library() {
    UnRegisterTypeLib(host::LIBID_HostApi, 1, 0, 0, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
}

}  // namespace zn::wine_test
