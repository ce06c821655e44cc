// The page's layout table: the controls, where they lie, their focus order and their stored
// settings.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "page/page_layout.h"
#include "page/page_texts.h"
#include "platform/ui/accessible_words.h"
#include "platform/ui/headless/headless_backend.h"

namespace zn::page {
namespace {

using ui::Bounds;
using ui::ControlKind;

const ui::PageLayout& layout() {
    return import_page_layout();
}

const ui::ControlSpec& definition(std::u16string_view name) {
    const ui::ControlSpec* s = layout().find(name);
    if (!s) throw std::logic_error("missing control");
    return *s;
}

// Position on the page: the control's own plus its container's.
Bounds on_page(const ui::ControlSpec& c) {
    Bounds b = *c.bounds;
    if (!c.container.empty()) {
        const Bounds outer = on_page(definition(c.container));
        b.left += outer.left;
        b.top += outer.top;
    }
    return b;
}

TEST(PageLayoutTest, PageSizeScrollStepAndFont) {
    EXPECT_EQ(layout().name, u"docZNImportPhotos");
    EXPECT_EQ(layout().width, 6225);
    EXPECT_EQ(layout().height, 4035);
    EXPECT_EQ(layout().scroll_step_x, 225);
    EXPECT_EQ(layout().scroll_step_y, 225);
    EXPECT_EQ(layout().font, (ui::FontSpec{u"MS Sans Serif", 8.25, 400}));
}

TEST(PageLayoutTest, ControlsHaveTheirKindsPlacesAndTabIndexes) {
    struct Expected {
        std::u16string_view name;
        int index;
        ControlKind kind;
        std::u16string_view container;
        Bounds bounds;
        int tab;
    };
    const Expected expected[] = {
        {u"cboRecordType", ui::kNoIndex, ControlKind::DropDownList, u"", {3480, 240, 2535, 315}, 7},
        {u"Frame1", ui::kNoIndex, ControlKind::Frame, u"", {60, 60, 10485, 6825}, 3},
        {u"Command1", 0, ControlKind::CommandButton, u"Frame1", {2310, 3390, 1245, 355}, 5},
        {u"Check1", 0, ControlKind::CheckBox, u"Frame1", {120, 2430, 4305, 315}, 2},
        {u"se_ImportFileName", ui::kNoIndex, ControlKind::ButtonEdit, u"Frame1", {1290, 1920, 4695, 300}, 1},
        {u"pbarOverall", ui::kNoIndex, ControlKind::ProgressBar, u"Frame1", {-30, 2940, 6135, 315}, 4},
        {u"lblReportType", ui::kNoIndex, ControlKind::Label, u"Frame1", {120, 240, 3375, 255}, 8},
        {u"Label2", ui::kNoIndex, ControlKind::Label, u"Frame1", {120, 630, 5775, 1095}, 6},
        {u"Label1", 0, ControlKind::Label, u"Frame1", {90, 1950, 1155, 255}, 0},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(e.name.begin(), e.name.end()));
        const ui::ControlSpec* c = layout().find(e.name, e.index);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, e.kind);
        EXPECT_EQ(c->container, e.container);
        ASSERT_TRUE(c->bounds.has_value());
        EXPECT_EQ(*c->bounds, e.bounds);
        EXPECT_EQ(c->tab_index, e.tab);
    }
    const ui::ControlSpec& dialog = definition(u"dlgPath");
    EXPECT_EQ(dialog.kind, ControlKind::FileDialog);
    EXPECT_EQ(dialog.container, u"Frame1");
    EXPECT_FALSE(dialog.bounds.has_value());
    EXPECT_EQ(dialog.text_setting(ui::setting_key::kDialogTitle, u""), u"Select Database");
    EXPECT_EQ(layout().controls.size(), 10u);
}

TEST(PageLayoutTest, NamesAreUniqueAndContainersExist) {
    std::set<std::u16string_view> names;
    for (const ui::ControlSpec& c : layout().controls) {
        EXPECT_TRUE(names.insert(c.name).second);
        if (!c.container.empty()) {
            EXPECT_NE(layout().find(c.container), nullptr);
        }
    }
    // The list is drawn in front of the frame it lies over.
    EXPECT_EQ(layout().controls[0].name, u"cboRecordType");
}

TEST(PageLayoutTest, EveryControlButTheFrameLiesInsideThePage) {
    for (const ui::ControlSpec& c : layout().controls) {
        if (!c.bounds) continue;
        const Bounds b = on_page(c);
        const bool inside =
            b.left >= 0 && b.top >= 0 && b.left + b.width <= layout().width && b.top + b.height <= layout().height;
        EXPECT_EQ(inside, c.name != u"Frame1") << std::string(c.name.begin(), c.name.end());
    }
}

TEST(PageLayoutTest, DesignCaptionsAndStates) {
    EXPECT_EQ(definition(u"Command1").caption, u"Process");
    EXPECT_EQ(definition(u"Check1").caption, u"Remove existing photos if no photo defined in import file");
    EXPECT_EQ(definition(u"lblReportType").caption, u"Select the type of record for photo importing:");
    EXPECT_EQ(definition(u"Label1").caption, u"Import file name:");
    EXPECT_EQ(definition(u"Frame1").caption, u"");
    EXPECT_TRUE(definition(u"Label2").caption.starts_with(u"This plug-in will import student photos from a file"));
    EXPECT_TRUE(definition(u"Label2").caption.ends_with(u"the photo file for each student."));
    for (const ui::ControlSpec& c : layout().controls) {
        EXPECT_TRUE(c.enabled);
        EXPECT_EQ(c.visible, c.name != u"pbarOverall");
    }
    EXPECT_EQ(definition(u"pbarOverall").int_setting(ui::setting_key::kMin, -1), 0);
    EXPECT_EQ(definition(u"pbarOverall").int_setting(ui::setting_key::kMax, -1), 100);
}

TEST(PageLayoutTest, FileFieldSettingsAsStored) {
    const ui::ControlSpec& field = definition(u"se_ImportFileName");
    // The stored size is the field's size in HIMETRIC (2540 per inch against 1440 twips).
    const auto himetric = [](int twips) { return static_cast<int>(std::lround(twips * 2540.0 / 1440.0)); };
    EXPECT_EQ(field.int_setting(u"_extentx", 0), himetric(field.bounds->width));
    EXPECT_EQ(field.int_setting(u"_extenty", 0), himetric(field.bounds->height));
    EXPECT_EQ(field.int_setting(u"_extentx", 0), 8281);
    EXPECT_EQ(field.int_setting(u"_extenty", 0), 529);
    EXPECT_EQ(field.int_setting(u"style", 0), 1);
    EXPECT_EQ(field.int_setting(u"editbuttonwidth", 0), 18);
    EXPECT_EQ(field.int_setting(u"secbuttonwidth", 0), 18);
    EXPECT_EQ(field.int_setting(u"stylesecondary", 0), 2);
    EXPECT_EQ(field.int_setting(u"maxlength", -1), 0);
    for (auto key : {u"edittooltip", u"button1tooltip", u"button2tooltip", u"text"})
        EXPECT_EQ(field.text_setting(key, u"absent"), u"");
    for (auto key : {u"locked", u"showcalculator", u"showcalendar", u"showcustomdropdown", u"showsecondarybutton"})
        EXPECT_FALSE(field.bool_setting(key, true));
    EXPECT_TRUE(field.bool_setting(u"showeditbutton", false));
    EXPECT_TRUE(field.bool_setting(u"showeditcontrol", false));
    const auto* font = std::get_if<ui::FontSpec>(field.setting(u"font"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(*font, (ui::FontSpec{u"MS Sans Serif", 8.25, 400}));
    EXPECT_EQ(field.settings.size(), 19u);
}

TEST(PageLayoutTest, FocusOrderFollowsTheTabIndexes) {
    ui::headless::HeadlessBackend backend;
    auto set = backend.create_controls(layout());
    auto& headless = dynamic_cast<ui::headless::HeadlessControlSet&>(*set);
    std::vector<std::u16string_view> order;
    for (ui::Control* c : headless.tab_order()) order.push_back(c->name());
    EXPECT_EQ(order,
              (std::vector<std::u16string_view>{u"se_ImportFileName", u"Check1", u"Command1", u"cboRecordType"}));
}

// What a screen reader is told: the list and the field by the labels beside them (without the
// colon), the field described by the instructions as they stand, F7 on both of the field's parts,
// the page by its caption.
TEST(PageLayoutTest, AccessibleWordsComeFromTheLabelsAsTheyStand) {
    ui::headless::HeadlessBackend backend;
    auto set = backend.create_controls(layout());
    const auto words = [&](std::u16string_view control, ui::AccessiblePart part = ui::AccessiblePart::Control) {
        const ui::AccessibleText* text = layout().accessible_text(control, part);
        if (!text) throw std::logic_error("no accessible text");
        return ui::accessible_words(*text, *set);
    };
    EXPECT_EQ(words(u"").name, u"Import Applicant/Student/Faculty/Individual Photos");
    EXPECT_EQ(words(u"cboRecordType").name, u"Select the type of record for photo importing");
    const ui::AccessibleWords field = words(u"se_ImportFileName");
    EXPECT_EQ(field.name, u"Import file name");
    EXPECT_EQ(field.shortcut, u"F7");
    EXPECT_EQ(field.description, set->get<ui::Label>(u"Label2").caption());
    const ui::AccessibleWords browse = words(u"se_ImportFileName", ui::AccessiblePart::Button);
    EXPECT_EQ(browse.name, u"Browse for the import file");
    EXPECT_EQ(browse.shortcut, u"F7");
    EXPECT_FALSE(browse.description);
    EXPECT_EQ(words(u"pbarOverall").name, u"Import progress");

    set->get<ui::Label>(u"Label2").set_caption(instructions_for(u"Faculty/Staff"));
    EXPECT_EQ(words(u"se_ImportFileName").description, instructions_for(u"Faculty/Staff"));
    set->get<ui::Label>(u"Label1").set_caption(u"Photo list :");
    EXPECT_EQ(words(u"se_ImportFileName").name, u"Photo list");
    EXPECT_TRUE(ui::caption_use(*layout().accessible_text(u"se_ImportFileName", ui::AccessiblePart::Control), u"Label2")
                    .description);
}

}  // namespace
}  // namespace zn::page
