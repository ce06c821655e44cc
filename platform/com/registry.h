// The class registration store (HKEY_CLASSES_ROOT): the system registry on Windows, a text
// file elsewhere. Key paths are backslash-separated and relative to the root, for example
// u"CLSID\\{...}\\InprocServer32"; key names compare without regard to ASCII case. An empty
// value name is the key's default value. Failures throw ComError (REGDB_E_READREGDB,
// REGDB_E_WRITEREGDB, E_INVALIDARG for a malformed path).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zn::com::registry {

// Creates the key and any missing parents.
void create_key(std::u16string_view key_path);
// Creates the key as needed and sets a string value.
void set_value(std::u16string_view key_path, std::u16string_view name, std::u16string_view value);

// The string value, or nothing when the key or the value does not exist.
std::optional<std::u16string> get_value(std::u16string_view key_path, std::u16string_view name);
bool key_exists(std::u16string_view key_path);
// Names of the key's direct subkeys; empty when the key does not exist.
std::vector<std::u16string> subkeys(std::u16string_view key_path);
// The key's string values as (name, value); the default value has the empty name.
std::vector<std::pair<std::u16string, std::u16string>> values(std::u16string_view key_path);

// On 64-bit Windows the class keys (CLSID) have a view for each bitness while others, the
// ProgIDs among them, are shared by both: whether the key exists in the other bitness's view of
// the machine's classes. False where there is only one view (32-bit Windows, the stand-in).
bool key_exists_in_other_view(std::u16string_view key_path);

// Each returns whether something was removed.
bool delete_value(std::u16string_view key_path, std::u16string_view name);
// Removes the key only when it has neither values nor subkeys.
bool delete_key_if_empty(std::u16string_view key_path);
// Removes the key with all its values and subkeys.
bool delete_tree(std::u16string_view key_path);

}  // namespace zn::com::registry
