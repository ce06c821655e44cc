#include "import/id_value.h"

#include <charconv>
#include <limits>
#include <string>

namespace zn::import {
namespace {

bool disregarded(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}
bool digit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The number's characters, without sign and disregarded characters; short ones stay on the
// stack, since every import line comes through here.
class NumberText {
public:
    void push(char c) {
        if (size_ < sizeof(small_)) {
            small_[size_++] = c;
            return;
        }
        if (large_.empty()) large_.assign(small_, size_);
        large_.push_back(c);
        ++size_;
    }
    const char* data() const { return large_.empty() ? small_ : large_.data(); }
    std::size_t size() const { return size_; }

private:
    char small_[64] = {};
    std::size_t size_ = 0;
    std::string large_;
};

}  // namespace

double id_value(std::u16string_view text) {
    std::size_t i = 0;
    const auto skip = [&] {
        while (i < text.size() && disregarded(text[i])) ++i;
    };
    skip();
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    NumberText number;
    bool period = false;
    bool any_digit = false;
    bool nonzero_whole = false;  // a digit other than 0 before the period
    for (skip(); i < text.size(); ++i, skip()) {
        const char16_t c = text[i];
        if (digit(c)) {
            any_digit = true;
            if (!period && c != u'0') nonzero_whole = true;
        } else if (c == u'.' && !period) {
            period = true;
        } else {
            break;
        }
        number.push(static_cast<char>(c));
    }
    if (!any_digit) return 0.0;

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Without an exponent only a long run of whole digits overflows; a long run of
        // fraction zeros underflows to 0.
        value = nonzero_whole ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (value == 0.0) return 0.0;  // no negative zero
    return negative ? -value : value;
}

}  // namespace zn::import
