// Splitting import lines into columns, and telling data rows, the heading row and invalid
// records apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/id_value.h"
#include "import/line_kind.h"
#include "import/line_parser.h"
#include "import_test_support.h"
#include "platform/text/utf.h"

namespace zn::import {
namespace {

using test::expect_com_error;

// Stands in for the host's ReplaceText(text, """", "", 0).
std::u16string delete_quotes(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c != u'"') out.push_back(c);
    }
    return out;
}

struct Columns {
    std::u16string id = u"old id", name = u"old name", photo = u"old photo";
};

Columns parse(std::u16string_view line) {
    Columns c;
    ParseOutIDAndFileName(line, delete_quotes, c.id, c.name, c.photo);
    return c;
}

struct ParseCase {
    std::u16string line, id, name, photo;
    LineKind kind;  // when it is not line 1
};

TEST(LineParser, ColumnsAndKindOfEachLine) {
    const std::vector<ParseCase> cases = {
        {u"123,Smith John,C:\\Photos\\123.jpg", u"123", u"Smith John", u"C:\\Photos\\123.jpg", LineKind::DataRow},
        {u"\"123\",\"Smith John\",\"C:\\Photos\\123.jpg\"", u"123", u"Smith John", u"C:\\Photos\\123.jpg",
         LineKind::DataRow},
        // Quotes are no quoting: the comma inside still separates.
        {u"123,\"Smith, John\",p.jpg", u"123", u"Smith", u" John,p.jpg", LineKind::DataRow},
        {u"123,Smith", u"123", u"Smith", u"", LineKind::DataRow},
        {u"123,Smith,", u"123", u"Smith", u"", LineKind::DataRow},
        {u"123,Smith,a.jpg,b", u"123", u"Smith", u"a.jpg,b", LineKind::DataRow},
        {u" 123 , Smith , p.jpg ", u" 123 ", u" Smith ", u" p.jpg ", LineKind::DataRow},
        {u"12abc,Smith,p.jpg", u"12abc", u"Smith", u"p.jpg", LineKind::DataRow},
        {u"123,\t,p.jpg", u"123", u"\t", u"p.jpg", LineKind::DataRow},
        {u"123", u"", u"", u"", LineKind::InvalidRecord},
        {u"", u"", u"", u"", LineKind::InvalidRecord},
        {u",Smith,p.jpg", u"", u"Smith", u"p.jpg", LineKind::InvalidRecord},
        {u"123,,p.jpg", u"123", u"", u"p.jpg", LineKind::InvalidRecord},
        {u"123,", u"123", u"", u"", LineKind::InvalidRecord},
        {u"0,Smith,p.jpg", u"0", u"Smith", u"p.jpg", LineKind::InvalidRecord},
        {u"-5,Smith,p.jpg", u"-5", u"Smith", u"p.jpg", LineKind::InvalidRecord},
        {u"abc,Smith,p.jpg", u"abc", u"Smith", u"p.jpg", LineKind::InvalidRecord},
        {u",,", u"", u"", u"", LineKind::InvalidRecord},
        {u"\"\"\"", u"", u"", u"", LineKind::InvalidRecord},
        {u"7,\u00C9lo\u00EFse \u20AC,\u00E9t\u00E9.jpg", u"7", u"\u00C9lo\u00EFse \u20AC", u"\u00E9t\u00E9.jpg",
         LineKind::DataRow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text::to_utf8(c.line));
        const Columns got = parse(c.line);
        EXPECT_TRUE(got.id == c.id);
        EXPECT_TRUE(got.name == c.name);
        EXPECT_TRUE(got.photo == c.photo);
        EXPECT_EQ(classify_line(2, got.id, got.name), c.kind);
    }
}

TEST(LineParser, QuotesAreRemovedThroughTheGivenFunctionOnce) {
    std::vector<std::u16string> calls;
    const RemoveQuotes host = [&](std::u16string_view text) {
        calls.emplace_back(text);
        return std::u16string(u"9,from,host");
    };
    std::u16string id, name, photo;
    ParseOutIDAndFileName(u"\"1\",a,b", host, id, name, photo);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0] == u"\"1\",a,b");
    EXPECT_TRUE(id == u"9" && name == u"from" && photo == u"host");
}

TEST(LineParser, AFailureToRemoveQuotesAssignsNothing) {
    const RemoveQuotes failing = [](std::u16string_view) -> std::u16string {
        throw com::ComError(E_FAIL, u"ReplaceText failed");
    };
    Columns c;
    expect_com_error([&] { ParseOutIDAndFileName(u"1,a,b", failing, c.id, c.name, c.photo); }, E_FAIL,
                     u"ReplaceText failed");
    EXPECT_TRUE(c.id == u"old id" && c.name == u"old name" && c.photo == u"old photo");
}

TEST(LineParser, OutputsMayBeTheInputsOwnString) {
    std::u16string line = u"5,Name,pic.jpg";
    std::u16string name, photo;
    ParseOutIDAndFileName(line, delete_quotes, line, name, photo);
    EXPECT_TRUE(line == u"5" && name == u"Name" && photo == u"pic.jpg");
}

TEST(LineKind, TheHeadingRowIsLineOneOnly) {
    for (std::u16string_view identifier :
         {u"FACSTFFAC_FCLTY_STFFMMBRNM", u"STSST_STUDENTNAME", u"APPTSAPPT_APPLICANTNAME", u"INDSIND_INDIVIDUALNAME"}) {
        EXPECT_EQ(classify_line(1, u"System record ID", identifier), LineKind::HeadingRow);
        EXPECT_EQ(classify_line(2, u"System record ID", identifier), LineKind::InvalidRecord);
    }
    // Upper-cased before the comparison.
    EXPECT_EQ(classify_line(1, u"System record ID", u"STSST_StudentName"), LineKind::HeadingRow);
    EXPECT_EQ(classify_line(1, u"x", u"stsst_studentname"), LineKind::HeadingRow);
    EXPECT_EQ(classify_line(1, u"", u"apptsappt_applicantname"), LineKind::HeadingRow);
    // A line that is a data row is one on line 1 too.
    EXPECT_EQ(classify_line(1, u"1", u"STSST_STUDENTNAME"), LineKind::DataRow);
    // Compared whole and exactly after upper-casing: nothing trimmed, nothing partial.
    EXPECT_EQ(classify_line(1, u"ID", u" STSST_STUDENTNAME"), LineKind::InvalidRecord);
    EXPECT_EQ(classify_line(1, u"ID", u"STSST_STUDENTNAME "), LineKind::InvalidRecord);
    EXPECT_EQ(classify_line(1, u"ID", u"STSST_STUDENTNAM"), LineKind::InvalidRecord);
    EXPECT_EQ(classify_line(1, u"ID", u"STSST_STUDENTNAMES"), LineKind::InvalidRecord);
    EXPECT_EQ(classify_line(1, u"ID", u""), LineKind::InvalidRecord);
    EXPECT_EQ(classify_line(1, u"ID", u"Student name"), LineKind::InvalidRecord);
}

TEST(LineKind, UpperCasingGoesBeyondAscii) {
    // Their capitals are the ASCII S and I, so the full upper-case form matches.
    EXPECT_TRUE(is_heading_name(u"\u017Ftsst_studentname"));
    EXPECT_TRUE(is_heading_name(u"inds\u0131nd_individualname"));
    // Latin-1 letters have capitals of their own, never ASCII ones.
    EXPECT_FALSE(is_heading_name(u"\u00E9tsst_studentname"));
    EXPECT_FALSE(is_heading_name(u"STSST_STUDENTNAM\u00C9"));
}

TEST(LineKind, AByteOrderMarkSpoilsTheIdOfLineOneButNotTheHeading) {
    const std::u16string bom = u"\u00EF\u00BB\u00BF";  // the UTF-8 mark read as ANSI
    Columns heading = parse(bom + u"System record ID,STSST_STUDENTNAME,Photo");
    EXPECT_EQ(classify_line(1, heading.id, heading.name), LineKind::HeadingRow);
    Columns data = parse(bom + u"123,Smith,p.jpg");
    EXPECT_EQ(id_value(data.id), 0.0);
    EXPECT_EQ(classify_line(1, data.id, data.name), LineKind::InvalidRecord);
}

TEST(LineKind, ADataRowNeedsAPositiveIdAndAName) {
    EXPECT_TRUE(is_data_row(u"1", u" "));  // a space is a name
    EXPECT_TRUE(is_data_row(u"0.5", u"x"));
    EXPECT_TRUE(is_data_row(u"3000000000", u"x"));  // too large to load, but a data row
    EXPECT_FALSE(is_data_row(u"0.0", u"x"));
    EXPECT_FALSE(is_data_row(u"-1", u"x"));
    EXPECT_FALSE(is_data_row(u"1", u""));
}

}  // namespace
}  // namespace zn::import
