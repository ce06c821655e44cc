// Splitting one import line into its three columns.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zn::import {

// Deletes every double quote from a text; on the page this is the host's ReplaceText.
using RemoveQuotes = std::function<std::u16string(std::u16string_view)>;

// The line's columns after the double quotes are deleted: up to the first comma, up to the
// second comma (or the end), and everything after the second comma. A line without a comma
// gives three empty texts. Nothing is trimmed and no case is changed. If remove_quotes
// fails, the error passes on and no output has been assigned; otherwise all three are.
void ParseOutIDAndFileName(std::u16string_view sdata, const RemoveQuotes& remove_quotes, std::u16string& sStudentID,
                           std::u16string& sStudentName, std::u16string& sStudentPhotoFile);

}  // namespace zn::import
