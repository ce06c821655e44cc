#include "page/page_layout.h"

#include <array>

#include "page/page_texts.h"

namespace zn::page {
namespace {

using ui::Bounds;
using ui::ControlKind;
using ui::ControlSpec;
using ui::FontSpec;
using ui::Setting;
namespace key = ui::setting_key;
namespace name = control_name;

constexpr FontSpec kDialogFont{u"MS Sans Serif", 8.25, 400};

constexpr std::u16string_view kInstructionsDesignCaption =
    u"This plug-in will import student photos from a file based on a CSV layout.  This file can be generated "
    u"from Export by limiting the export to the proper students and selecting the following fields: 'System "
    u"record ID', 'Student name'.  Once the export file has been created, you will need to append an additional "
    u"column which will contain the name of the photo file for each student.";

constexpr std::array kRecordTypeListSettings{
    Setting{key::kStyle, std::int32_t{2}},  // drop-down list: the text is always one of the entries
};

constexpr std::array kRemovePhotosSettings{
    Setting{key::kValue, std::int32_t{0}},
};

// As the field stores them; sizes in HIMETRIC, equal to the twip size in the table below.
constexpr std::array kImportFileSettings{
    Setting{u"_extentx", std::int32_t{8281}},
    Setting{u"_extenty", std::int32_t{529}},
    Setting{u"style", std::int32_t{1}},
    Setting{u"edittooltip", std::u16string_view{}},
    Setting{u"button1tooltip", std::u16string_view{}},
    Setting{u"button2tooltip", std::u16string_view{}},
    Setting{key::kText, std::u16string_view{}},
    Setting{u"font", kDialogFont},
    Setting{u"editbuttonwidth", std::int32_t{18}},
    Setting{u"secbuttonwidth", std::int32_t{18}},
    Setting{key::kLocked, false},
    Setting{u"showcalculator", false},
    Setting{u"showcalendar", false},
    Setting{u"showcustomdropdown", false},
    Setting{u"showeditbutton", true},
    Setting{u"showeditcontrol", true},
    Setting{u"showsecondarybutton", false},
    Setting{u"stylesecondary", std::int32_t{2}},
    Setting{key::kMaxLength, std::int32_t{0}},
};

constexpr std::array kFileDialogSettings{
    Setting{key::kDialogTitle, std::u16string_view{u"Select Database"}},
};

constexpr std::array kProgressBarSettings{
    Setting{key::kMin, std::int32_t{0}},
    Setting{key::kMax, std::int32_t{100}},
};

// Front to back: a control listed earlier is drawn in front of a later one where they overlap
// (the record-type list lies over the frame's area). Every control but the frame lies inside
// the page's area; the frame reaches past its right and bottom edges.
constexpr std::array kControls{
    ControlSpec{.name = name::kRecordTypeList,
                .kind = ControlKind::DropDownList,
                .bounds = Bounds{3480, 240, 2535, 315},
                .tab_index = 7,
                .settings = kRecordTypeListSettings},
    ControlSpec{
        .name = name::kFrame, .kind = ControlKind::Frame, .bounds = Bounds{60, 60, 10485, 6825}, .tab_index = 3},
    ControlSpec{.name = name::kProcessButton,
                .index = 0,
                .kind = ControlKind::CommandButton,
                .container = name::kFrame,
                .bounds = Bounds{2310, 3390, 1245, 355},
                .tab_index = 5,
                .caption = u"Process"},
    ControlSpec{.name = name::kRemovePhotosCheck,
                .index = 0,
                .kind = ControlKind::CheckBox,
                .container = name::kFrame,
                .bounds = Bounds{120, 2430, 4305, 315},
                .tab_index = 2,
                .caption = u"Remove existing photos if no photo defined in import file",
                .settings = kRemovePhotosSettings},
    ControlSpec{.name = name::kImportFileField,
                .kind = ControlKind::ButtonEdit,
                .container = name::kFrame,
                .bounds = Bounds{1290, 1920, 4695, 300},
                .tab_index = 1,
                .settings = kImportFileSettings},
    ControlSpec{.name = name::kFileDialog,
                .kind = ControlKind::FileDialog,
                .container = name::kFrame,
                .settings = kFileDialogSettings},
    ControlSpec{.name = name::kProgressBar,
                .kind = ControlKind::ProgressBar,
                .container = name::kFrame,
                .bounds = Bounds{-30, 2940, 6135, 315},  // starts 30 twips left of the frame's edge
                .tab_index = 4,
                .visible = false,
                .settings = kProgressBarSettings},
    ControlSpec{.name = name::kReportTypeLabel,
                .kind = ControlKind::Label,
                .container = name::kFrame,
                .bounds = Bounds{120, 240, 3375, 255},
                .tab_index = 8,
                .caption = u"Select the type of record for photo importing:"},
    ControlSpec{.name = name::kInstructionsLabel,
                .kind = ControlKind::Label,
                .container = name::kFrame,
                .bounds = Bounds{120, 630, 5775, 1095},
                .tab_index = 6,
                .caption = kInstructionsDesignCaption},
    ControlSpec{.name = name::kFileNameLabel,
                .index = 0,
                .kind = ControlKind::Label,
                .container = name::kFrame,
                .bounds = Bounds{90, 1950, 1155, 255},
                .tab_index = 0,
                .caption = u"Import file name:"},
};

constexpr ui::PageLayout kLayout{
    .name = u"docZNImportPhotos",
    .width = 6225,
    .height = 4035,
    .scroll_step_x = 225,
    .scroll_step_y = 225,
    .font = kDialogFont,
    .controls = kControls,
    .accessible_texts = kAccessibleTexts,
};

}  // namespace

const ui::PageLayout& import_page_layout() {
    return kLayout;
}

}  // namespace zn::page
