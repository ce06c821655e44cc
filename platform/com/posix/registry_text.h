// The registration store as a tree of keys, and its text form:
//
//   [CLSID\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\InprocServer32]
//   @="/opt/zn/ZNImportPhotos.so"
//   "ThreadingModel"="Apartment"
//
// One section per key (empty keys too, so they survive), "@" for the default value.
// Inside quotes, \\ and \" stand for themselves and \uXXXX for a control character or a
// lone surrogate; the file is UTF-8. Lines starting with ';' are comments.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zn::com::registry {

struct RegistryKey {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> values;
    std::vector<std::unique_ptr<RegistryKey>> subkeys;

    RegistryKey* find(std::u16string_view child) const noexcept;
    RegistryKey& find_or_add(std::u16string_view child);
    // The value slot with this name, or null.
    std::u16string* find_value(std::u16string_view value_name) noexcept;
};

// The key at the path, or null. The empty path is the root.
RegistryKey* find_key(const RegistryKey& root, std::u16string_view key_path);
// The key at the path, created with its parents as needed.
RegistryKey& make_key(RegistryKey& root, std::u16string_view key_path);

// Throws ComError(REGDB_E_READREGDB) naming the line for text that is not in this form.
RegistryKey parse_registry_text(std::string_view text);
std::string format_registry_text(const RegistryKey& root);

}  // namespace zn::com::registry
