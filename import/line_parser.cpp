#include "import/line_parser.h"

namespace zn::import {

void ParseOutIDAndFileName(std::u16string_view sdata, const RemoveQuotes& remove_quotes, std::u16string& sStudentID,
                           std::u16string& sStudentName, std::u16string& sStudentPhotoFile) {
    const std::u16string line = remove_quotes(sdata);
    const std::u16string_view text = line;
    const std::size_t a = text.find(u',');
    if (a == std::u16string_view::npos) {
        sStudentID.clear();
        sStudentName.clear();
        sStudentPhotoFile.clear();
        return;
    }
    const std::size_t b = text.find(u',', a + 1);
    sStudentID.assign(text.substr(0, a));
    if (b == std::u16string_view::npos) {
        sStudentName.assign(text.substr(a + 1));
        sStudentPhotoFile.clear();
    } else {
        sStudentName.assign(text.substr(a + 1, b - a - 1));
        sStudentPhotoFile.assign(text.substr(b + 1));
    }
}

}  // namespace zn::import
