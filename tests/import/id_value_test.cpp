// The numeric value of the ID column, and the record ID that the run loads from it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "import/id_value.h"
#include "import/record_id.h"
#include "import_test_support.h"
#include "platform/text/utf.h"

namespace zn::import {
namespace {

using test::expect_com_error;

struct ValueCase {
    std::u16string text;
    double value;
};

TEST(IdValue, DecimalNumbersAtTheStart) {
    const ValueCase cases[] = {
        {u" 123 ", 123},      {u"1 23", 123}, {u"123abc", 123},    {u"abc", 0},   {u"", 0},
        {u"-5", -5},          {u"4.5", 4.5},  {u".5", 0.5},        {u"+7", 7},    {u"- 5", -5},
        {u"\t1\n2 3\t", 123}, {u"5.", 5},     {u"1.2.3", 1.2},     {u"12,5", 12}, {u"007", 7},
        {u"-0.25x", -0.25},   {u".", 0},      {u"-", 0},           {u"+", 0},     {u"+-5", 0},
        {u"--5", 0},          {u"5-3", 5},    {u"1 000 000", 1e6}, {u"1'000", 1}, {u"3000000000", 3e9},
        {u"12.5", 12.5},      {u"-.5", -0.5}, {u"0.1", 0.1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(id_value(c.text), c.value) << text::to_utf8(c.text);
    }
}

TEST(IdValue, OnlySpacesTabsAndLineFeedsAreDisregarded) {
    EXPECT_EQ(id_value(u"\r12"), 0);
    EXPECT_EQ(id_value(u"1\r2"), 1);
    EXPECT_EQ(id_value(u"\u00A012"), 0);               // no-break space
    EXPECT_EQ(id_value(u"\uFF11\uFF12"), 0);           // full-width digits are no digits
    EXPECT_EQ(id_value(u"\u00EF\u00BB\u00BF123"), 0);  // a byte-order mark read as ANSI
}

TEST(IdValue, NoExponentsAndNoRadixPrefixes) {
    EXPECT_EQ(id_value(u"1e3"), 1);
    EXPECT_EQ(id_value(u"1E3"), 1);
    EXPECT_EQ(id_value(u"2d2"), 2);
    EXPECT_EQ(id_value(u"&H10"), 0);
    EXPECT_EQ(id_value(u"&h1F"), 0);
    EXPECT_EQ(id_value(u"&O17"), 0);
    EXPECT_EQ(id_value(u"&17"), 0);
}

TEST(IdValue, LongDigitRuns) {
    EXPECT_EQ(id_value(std::u16string(200, u'0') + u"42"), 42);
    EXPECT_EQ(id_value(u"42." + std::u16string(300, u'0') + u"1"), 42);
    // Below the smallest double: zero, and never a negative zero.
    const double tiny = id_value(u"-0." + std::u16string(400, u'0') + u"1");
    EXPECT_EQ(tiny, 0);
    EXPECT_FALSE(std::signbit(tiny));
    EXPECT_FALSE(std::signbit(id_value(u"-0")));
    // Beyond the largest double: an infinity of the sign read.
    EXPECT_EQ(id_value(u"1" + std::u16string(400, u'0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(id_value(u"-9" + std::u16string(400, u'9')), -std::numeric_limits<double>::infinity());
}

TEST(RecordId, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, std::int32_t> cases[] = {
        {12.5, 12},   {13.5, 14},    {0.5, 0},      {1.5, 2},        {2.5, 2}, {-0.5, 0}, {-1.5, -2},
        {-12.5, -12}, {12.4999, 12}, {12.5001, 13}, {-12.5001, -13}, {7, 7},   {0, 0},    {-7, -7},
    };
    for (const auto& [value, id] : cases) EXPECT_EQ(to_record_id(value), id) << value;
}

TEST(RecordId, ValuesOutsideTheSigned32BitRangeOverflow) {
    EXPECT_EQ(to_record_id(2147483647.0), 2147483647);
    EXPECT_EQ(to_record_id(2147483647.49), 2147483647);
    EXPECT_EQ(to_record_id(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(to_record_id(-2147483648.5), -2147483647 - 1);  // rounds to the even one, inside
    for (double value : {2147483647.5, 2147483648.0, 3e9, -2147483648.51, -2147483649.0, 1e300,
                         std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        expect_com_error([&] { to_record_id(value); }, com::kOverflow, u"Overflow");
    }
}

TEST(RecordId, FromTheIdColumn) {
    EXPECT_EQ(to_record_id(id_value(u"12.5")), 12);
    EXPECT_EQ(to_record_id(id_value(u" 13.5 ")), 14);
    expect_com_error([&] { to_record_id(id_value(u"3000000000")); }, com::kOverflow);
}

}  // namespace
}  // namespace zn::import
