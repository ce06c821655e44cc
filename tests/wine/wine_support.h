// Helpers for the tests that exercise the built module through the real Windows runtime:
// paths, child processes and registry reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com.h"

namespace zn::wine_test {

// Text of the identity table, as the Windows API spells it.
std::wstring wide(std::u16string_view text);
std::string narrow(std::wstring_view text);

// A build path (Unix-style under Wine's Z: drive, or already a Windows path) as a Windows path.
std::wstring windows_path(std::string_view path);

// The module under test and the host's API type library, from the build.
std::wstring module_path();
std::wstring host_api_type_library_path();

// Runs a command line, waits, and returns its exit code; throws std::runtime_error when it
// cannot start or does not finish within the timeout.
unsigned long run_process(const std::wstring& command_line, unsigned long timeout_ms = 60000);

// regsvr32 /s [/u] on the module; its exit code.
unsigned long regsvr32(const std::wstring& module, bool unregister);

// HKEY_CLASSES_ROOT reads. An empty value name is the key's default value.
bool key_exists(const std::wstring& path);
std::optional<std::wstring> string_value(const std::wstring& path, const std::wstring& name = L"");
std::vector<std::wstring> subkey_names(const std::wstring& path);
// Writes a key with a default value, as another program would.
void write_key(const std::wstring& path, const std::wstring& value);
// Removes a key and everything below it; a missing key is fine.
void delete_tree(const std::wstring& path);

std::wstring guid_text(const GUID& guid);

// Registers the host's API type library as the host does, and removes that registration.
void register_host_type_library();
void unregister_host_type_library();

}  // namespace zn::wine_test
