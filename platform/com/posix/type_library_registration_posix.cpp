#include "platform/com/type_library_registration.h"

#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/com/guid.h"
#include "platform/com/module_path.h"
#include "platform/com/registry.h"

namespace zn::com {
namespace {

struct Value {
    std::u16string key;
    std::u16string name;
    std::u16string value;
};

std::u16string number(unsigned long n, int base) {
    std::u16string s;
    do {
        const unsigned long d = n % static_cast<unsigned long>(base);
        s.insert(s.begin(), static_cast<char16_t>(d < 10 ? u'0' + d : u'a' + d - 10));
        n /= static_cast<unsigned long>(base);
    } while (n);
    return s;
}

// The keys the system writes for a type library: name, locale and platform path, flags, help folder.
std::vector<Value> type_library_values(std::u16string_view module_path, const TypeLibraryIdentity& lib) {
    const std::u16string version = u"TypeLib\\" + format_guid(lib.libid) + u"\\" + number(lib.major, 16) + u"." +
                                   number(lib.minor, 16);
    const std::u16string platform = sizeof(void*) == 8 ? u"win64" : u"win32";
    return {
        {version, u"", std::u16string(lib.name)},
        {version + u"\\" + number(lib.lcid, 16) + u"\\" + platform, u"", std::u16string(module_path)},
        {version + u"\\FLAGS", u"", u"0"},
        {version + u"\\HELPDIR", u"", folder_of(module_path)},
    };
}

}  // namespace

HRESULT register_type_library(std::u16string_view module_path, const TypeLibraryIdentity& library) noexcept {
    return com_boundary([&] {
        for (const Value& v : type_library_values(module_path, library)) registry::set_value(v.key, v.name, v.value);
    });
}

HRESULT unregister_type_library(std::u16string_view module_path, const TypeLibraryIdentity& library) noexcept {
    return com_boundary([&] {
        const auto values = type_library_values(module_path, library);
        for (const Value& v : values) {
            const auto current = registry::get_value(v.key, v.name);
            if (current && *current == v.value) registry::delete_value(v.key, v.name);
        }
        for (auto it = values.rbegin(); it != values.rend(); ++it) {
            std::u16string key = it->key;
            while (key.size() > std::u16string_view(u"TypeLib").size()) {
                if (!registry::delete_key_if_empty(key)) break;
                key.resize(key.rfind(u'\\'));
            }
        }
    });
}

}  // namespace zn::com
