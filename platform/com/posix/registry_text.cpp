#include "platform/com/posix/registry_text.h"

#include <optional>

#include "platform/com/com_error.h"
#include "platform/com/registry_path.h"
#include "platform/text/utf.h"

namespace zn::com::registry {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool is_surrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}
bool is_high(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void append_quoted(std::string& out, std::u16string_view text) {
    std::u16string escaped = u"\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\\' || c == u'"') {
            escaped += u'\\';
            escaped += c;
        } else if (is_high(c) && i + 1 < text.size() && is_low(text[i + 1])) {
            escaped += c;
            escaped += text[++i];
        } else if (c < 0x20 || c == 0x7F || is_surrogate(c)) {
            escaped += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                escaped += static_cast<char16_t>(kHexDigits[(c >> shift) & 0xF]);
        } else {
            escaped += c;
        }
    }
    escaped += u'"';
    out += text::to_utf8(escaped);
}

void append_key(std::string& out, const RegistryKey& key, const std::u16string& path) {
    if (!path.empty() || !key.values.empty()) {
        out += '[';
        out += text::to_utf8(path);
        out += "]\n";
        for (const auto& [name, value] : key.values) {
            if (name.empty()) {
                out += '@';
            } else {
                append_quoted(out, name);
            }
            out += '=';
            append_quoted(out, value);
            out += '\n';
        }
        out += '\n';
    }
    for (const auto& child : key.subkeys)
        append_key(out, *child, path.empty() ? child->name : path + u'\\' + child->name);
}

[[noreturn]] void malformed(std::size_t line_number) {
    throw ComError(REGDB_E_READREGDB,
                   u"The registration file is malformed at line " + text::from_utf8(std::to_string(line_number)));
}

// Reads a quoted text at line[pos]; advances pos past the closing quote.
std::optional<std::u16string> read_quoted(std::u16string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != u'"') return std::nullopt;
    std::u16string out;
    for (++pos; pos < line.size(); ++pos) {
        const char16_t c = line[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size()) return std::nullopt;
        const char16_t e = line[pos];
        if (e == u'\\' || e == u'"') {
            out += e;
        } else if (e == u'u' && pos + 4 < line.size()) {
            char16_t value = 0;
            for (int k = 1; k <= 4; ++k) {
                const char16_t h = line[pos + static_cast<std::size_t>(k)];
                int digit = -1;
                if (h >= u'0' && h <= u'9') digit = h - u'0';
                if (h >= u'A' && h <= u'F') digit = h - u'A' + 10;
                if (h >= u'a' && h <= u'f') digit = h - u'a' + 10;
                if (digit < 0) return std::nullopt;
                value = static_cast<char16_t>(value * 16 + digit);
            }
            out += value;
            pos += 4;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

RegistryKey* RegistryKey::find(std::u16string_view child) const noexcept {
    for (const auto& key : subkeys)
        if (same_key_name(key->name, child)) return key.get();
    return nullptr;
}

RegistryKey& RegistryKey::find_or_add(std::u16string_view child) {
    if (RegistryKey* key = find(child)) return *key;
    subkeys.push_back(std::make_unique<RegistryKey>());
    subkeys.back()->name = std::u16string(child);
    return *subkeys.back();
}

std::u16string* RegistryKey::find_value(std::u16string_view value_name) noexcept {
    for (auto& [name, value] : values)
        if (same_key_name(name, value_name)) return &value;
    return nullptr;
}

RegistryKey* find_key(const RegistryKey& root, std::u16string_view key_path) {
    // The root is only ever reached through a mutable store, so handing it back mutable is safe.
    auto* key = const_cast<RegistryKey*>(&root);
    for (const auto name : split_key_path(key_path)) {
        key = key->find(name);
        if (!key) return nullptr;
    }
    return key;
}

RegistryKey& make_key(RegistryKey& root, std::u16string_view key_path) {
    RegistryKey* key = &root;
    for (const auto name : split_key_path(key_path)) key = &key->find_or_add(name);
    return *key;
}

RegistryKey parse_registry_text(std::string_view text) {
    RegistryKey root;
    RegistryKey* current = nullptr;
    std::size_t line_number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++line_number;
        const std::u16string decoded = text::from_utf8(text.substr(start, end - start));
        start = end + 1;
        const std::u16string_view line = trim(decoded);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            if (line.back() != u']') malformed(line_number);
            try {
                current = &make_key(root, line.substr(1, line.size() - 2));
            } catch (const ComError&) {
                malformed(line_number);
            }
            continue;
        }
        if (!current) malformed(line_number);
        std::size_t pos = 0;
        std::u16string name;
        if (line.front() == u'@') {
            pos = 1;
        } else {
            auto quoted = read_quoted(line, pos);
            if (!quoted || quoted->empty()) malformed(line_number);
            name = std::move(*quoted);
        }
        auto skip_blanks = [&] {
            while (pos < line.size() && (line[pos] == u' ' || line[pos] == u'\t')) ++pos;
        };
        skip_blanks();
        if (pos >= line.size() || line[pos] != u'=') malformed(line_number);
        ++pos;
        skip_blanks();
        auto value = read_quoted(line, pos);
        if (!value || pos != line.size()) malformed(line_number);
        if (std::u16string* existing = current->find_value(name)) {
            *existing = std::move(*value);
        } else {
            current->values.emplace_back(std::move(name), std::move(*value));
        }
    }
    return root;
}

std::string format_registry_text(const RegistryKey& root) {
    std::string out = "; Class registrations (HKEY_CLASSES_ROOT), written by the component's runtime.\n\n";
    append_key(out, root, {});
    return out;
}

}  // namespace zn::com::registry
