#include "page/page_texts.h"

#include <array>
#include <optional>

namespace zn::page {
namespace {

// A piece of the instructions: a fixed text, or (none) the record type.
using Piece = std::optional<std::u16string_view>;
constexpr Piece kType = std::nullopt;

// The pieces keep their spaces: two spaces follow "layout." and "name'.", and none is added
// between pieces.
constexpr std::array<Piece, 12> kInstructionPieces = {
    u"This plug-in will import ",
    kType,
    u" photos from a file based on a CSV layout.  ",
    u"This file can be generated from Export by selecting the proper ",
    kType,
    u" records and exporting the following fields: 'System record ID', '",
    kType,
    u" name'.  Once ",
    u"the export file has been created, you will need to append an additional column which will ",
    u"contain the name of the photo file for each ",
    kType,
    u".",
};

constexpr std::array<std::u16string_view, 2> kNoValidSystemPieces = {
    u"You do not have a valid system installed to use this plugin. You will need HM in order to import photos ",
    u"using applicants and HV in order to import photos using students.",
};

}  // namespace

std::u16string instructions_for(std::u16string_view type) {
    std::u16string text;
    if (type == record_type::kNoValidSystem) {
        for (std::u16string_view piece : kNoValidSystemPieces) text += piece;
        return text;
    }
    for (const Piece& piece : kInstructionPieces) text += piece ? *piece : type;
    return text;
}

std::u16string message::imported_title(std::u16string_view type) {
    return u"Imported " + std::u16string(type) + u" Photos";
}

}  // namespace zn::page
