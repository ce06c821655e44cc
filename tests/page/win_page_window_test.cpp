// The page on screen: set-up, the controls' places at each DPI, the keyboard, the file dialog,
// Process with its message boxes, the hourglass and scrolling.
#include <algorithm>
#include <cstdlib>
#include <set>

#include "page/win_page_fixture.h"
#include "support/temp_folder.h"

namespace zn::page {
namespace {

TEST_F(PageWindowTest, SetUpShowsTheOfferedTypesWithTheFirstChosenAndProcessDisabled) {
    open({host::kModuleHM, host::kModuleHV});
    ASSERT_EQ(SendMessageW(list_, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(list_entry(0), u"Applicant");
    EXPECT_EQ(list_entry(1), u"Student");
    EXPECT_EQ(list_entry(2), u"Faculty/Staff");
    EXPECT_EQ(list_entry(3), u"Individual");
    EXPECT_EQ(SendMessageW(list_, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(text_of(label2_), instructions_for(u"Applicant"));
    EXPECT_TRUE(IsWindowEnabled(list_));
    EXPECT_TRUE(IsWindowEnabled(edit_));
    EXPECT_FALSE(IsWindowEnabled(process_));
    EXPECT_FALSE(IsWindowVisible(bar_));
    EXPECT_TRUE(IsWindowVisible(process_));

    open({});
    EXPECT_EQ(SendMessageW(list_, CB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(list_));
    EXPECT_FALSE(IsWindowEnabled(field_));
    EXPECT_FALSE(IsWindowEnabled(edit_));
    EXPECT_FALSE(IsWindowEnabled(browse_));
    EXPECT_FALSE(IsWindowEnabled(process_));
    EXPECT_EQ(text_of(label2_), instructions_for(u"No Valid System"));
}

TEST_F(PageWindowTest, EveryControlLiesAtItsTwipsAtTheWindowsDpiInItsContainer) {
    const ui::PageLayout& layout = import_page_layout();
    int display_dpi = 0;
    {
        const HDC dc = GetDC(top_.get());
        display_dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(top_.get(), dc);
    }
    // Run once more with the prefix's LogPixels raised, the display's DPI is that one (see
    // tests/CMakeLists.txt).
    if (const char* expected = std::getenv("ZN_EXPECT_DPI")) {
        EXPECT_EQ(display_dpi, std::atoi(expected));
    }
    // The display's DPI, 144, and 96 changed to 144 afterwards (as on a move to another monitor).
    for (const int dpi : {0, 144, -1}) {
        SCOPED_TRACE(dpi);
        open({host::kModuleHM, host::kModuleHV}, dpi < 0 ? 96 : dpi);
        if (dpi < 0) {
            backend_.set_dpi_override(144);
            SendMessageW(page(), WM_DPICHANGED_AFTERPARENT, 0, 0);
        }
        const int used = dpi < 0 ? 144 : dpi ? dpi : display_dpi;
        EXPECT_EQ(window_->dpi(), used);
        EXPECT_EQ(rect_in_parent(browse_).right - rect_in_parent(browse_).left, MulDiv(18, used, 96));
        EXPECT_EQ(rect_in_parent(edit_).right, rect_in_parent(browse_).left);
        const std::pair<std::u16string_view, HWND> windows[] = {
            {u"cboRecordType", list_},
            {u"Frame1", frame_},
            {u"Command1", process_},
            {u"Check1", check_},
            {u"se_ImportFileName", field_},
            {u"pbarOverall", bar_},
            {u"lblReportType", child(frame_, u"Static", u"Select the type")},
            {u"Label2", label2_},
            {u"Label1", child(frame_, u"Static", u"Import file name:")},
        };
        for (const auto& [name, window] : windows) {
            SCOPED_TRACE(text::to_utf8(name));
            ASSERT_NE(window, nullptr);
            const ui::ControlSpec* entry = layout.find(name);
            ASSERT_TRUE(entry && entry->bounds);
            const RECT r = rect_in_parent(window);
            EXPECT_EQ(r.left, twips_to_pixels(entry->bounds->left, used));
            EXPECT_EQ(r.top, twips_to_pixels(entry->bounds->top, used));
            EXPECT_EQ(r.right - r.left, twips_to_pixels(entry->bounds->width, used));
            EXPECT_EQ(r.bottom - r.top, twips_to_pixels(entry->bounds->height, used));
            EXPECT_EQ(GetParent(window), entry->container.empty() ? page() : frame_);
        }
        // The frame reaches past the page's edges; the bar starts left of the frame's edge.
        RECT page_client{};
        GetClientRect(page(), &page_client);
        EXPECT_LT(rect_in_parent(bar_).left, 0);
        EXPECT_EQ(rect_in_parent(frame_).right, twips_to_pixels(60 + 10485, used));
        // The list lies in front of the frame.
        const std::vector<HWND> order = children(page());
        const auto at = [&](HWND w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
        EXPECT_LT(at(list_), at(frame_));
        // The dialog font, for this DPI.
        LOGFONTW font{};
        ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(process_, WM_GETFONT, 0, 0)), sizeof(font), &font),
                  0);
        EXPECT_EQ(font.lfHeight, -MulDiv(825, used, 7200));
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    }
}

TEST_F(PageWindowTest, KeyboardTypesTabsChoosesAndReportsAHandlersError) {
    open({host::kModuleHM, host::kModuleHV});
    SetFocus(edit_);
    pump();
    type(u"C:\\photos.csv");
    EXPECT_EQ(text_of(edit_), u"C:\\photos.csv");
    EXPECT_TRUE(IsWindowEnabled(process_)) << "typed text enables Process";

    // Tab walks field, check box, Process, list and round; Shift+Tab back.
    const HWND forward[] = {check_, process_, list_, edit_};
    for (HWND expected : forward) {
        key(VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
    // Coming back into the field selected its whole text.
    DWORD start = 1, end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 13u);
    const HWND backward[] = {list_, process_, check_, edit_};
    for (HWND expected : backward) {
        key(VK_TAB, true);
        EXPECT_EQ(GetFocus(), expected);
    }

    // Enter presses the focused button. No such file: the page says so under its default
    // caption and puts the focus back into the field, whole path selected, Process disabled.
    Answerer answerer;
    answerer.then(Answerer::press(IDOK));
    key(VK_TAB, true);
    key(VK_TAB, true);
    ASSERT_EQ(GetFocus(), process_);
    key(VK_RETURN);
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].title, u"ZNImportPhotos");
    EXPECT_EQ(answerer.shown[0].text, u"Invalid Import File");
    EXPECT_FALSE(answerer.shown[0].icon);
    EXPECT_EQ(GetFocus(), edit_);
    start = 1;
    end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 13u);
    EXPECT_FALSE(IsWindowEnabled(process_));

    // Space ticks the focused check box; Tab passes over the disabled Process; the arrow keys
    // choose in the list.
    key(VK_TAB);
    key(VK_SPACE);
    EXPECT_EQ(SendMessageW(check_, BM_GETCHECK, 0, 0), BST_CHECKED);
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), list_);
    key(VK_DOWN);
    EXPECT_EQ(SendMessageW(list_, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(text_of(label2_), instructions_for(u"Student"));

    // An error in the choice's handler comes as a message box, not through the window procedure.
    host_.config().fail("TextServices.PrepareText", E_FAIL, u"text service gone");
    answerer.then(Answerer::press(IDOK));
    key(VK_DOWN);
    ASSERT_EQ(answerer.shown.size(), 2u);
    EXPECT_EQ(answerer.shown[1].title, u"ZNImportPhotos");
    EXPECT_EQ(answerer.shown[1].text, u"text service gone");
    EXPECT_TRUE(answerer.shown[1].ok);
    EXPECT_FALSE(answerer.shown[1].cancel);

    // Clearing the field disables Process.
    SetFocus(edit_);
    pump();
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    key(VK_DELETE);
    EXPECT_EQ(text_of(edit_), u"");
    EXPECT_FALSE(IsWindowEnabled(process_)) << "cleared text disables Process";
}

TEST_F(PageWindowTest, F7AndTheBrowseButtonOpenTheFileDialog) {
    test::TempFolder folder("zn-page-window");
    const std::u16string csv = folder.write("photos.csv", "1,Ann,a.jpg\r\n");
    const std::u16string start = folder.path().u16string();
    ASSERT_TRUE(SetCurrentDirectoryW(wide(start).c_str()));
    open({host::kModuleHM, host::kModuleHV});
    SetFocus(edit_);
    pump();

    Answerer answerer;
    answerer.then(file_dialog(std::nullopt));
    key(VK_F7);
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].title, u"Select Database");
    EXPECT_EQ(answerer.shown[0].owner, top_.get());
    EXPECT_EQ(answerer.shown[0].filter, u"*.csv");
    EXPECT_EQ(answerer.shown[0].folder, start);
    EXPECT_EQ(text_of(edit_), u"") << "a cancelled dialog leaves the empty field";

    // Alt+F7 arrives as a system key.
    answerer.then(file_dialog(std::nullopt));
    PostMessageW(edit_, WM_SYSKEYDOWN, VK_F7, 1 | (1 << 29));
    pump();
    EXPECT_EQ(answerer.shown.size(), 2u);

    answerer.then(file_dialog(csv));
    SendMessageW(browse_, BM_CLICK, 0, 0);
    ASSERT_EQ(answerer.shown.size(), 3u);
    EXPECT_EQ(answerer.shown[2].title, u"Select Database");
    EXPECT_EQ(text_of(edit_), csv);
    EXPECT_TRUE(IsWindowEnabled(process_));

    // A container that hides the field while the dialog is up: the keyboard does not go into it.
    SetFocus(edit_);
    pump();
    answerer.then([this](HWND dialog, Shown& shown) {
        ShowWindow(field_, SW_HIDE);
        file_dialog(std::nullopt)(dialog, shown);
    });
    key(VK_F7);
    ASSERT_EQ(answerer.shown.size(), 4u);
    EXPECT_NE(GetFocus(), edit_) << "the caret went back into a hidden field";
    SetCurrentDirectoryW(L"C:\\");
}

TEST_F(PageWindowTest, TheKeyboardGivenToThePageGoesOnToAControlAndTheFieldIsOneStop) {
    open({host::kModuleHM, host::kModuleHV});
    // A container focusing the document: the first control in the tab order takes the keyboard.
    SetFocus(page());
    pump();
    EXPECT_EQ(GetFocus(), edit_);
    // Given back later (the frame activated again): the control that had it last.
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), check_);
    SetFocus(top_.get());
    SetFocus(page());
    pump();
    EXPECT_EQ(GetFocus(), check_);

    // The browse button is part of the field's one stop: F7 works on it, Tab goes on to the
    // check box, Shift+Tab from the check box comes to the field's edit part, and a click leaves
    // the caret in the field.
    Answerer answerer;
    SetFocus(browse_);
    answerer.then(file_dialog(std::nullopt));
    key(VK_F7);
    EXPECT_EQ(answerer.shown.size(), 1u);
    SetFocus(browse_);
    key(VK_TAB);
    EXPECT_EQ(GetFocus(), check_);
    key(VK_TAB, true);
    EXPECT_EQ(GetFocus(), edit_);
    answerer.then(file_dialog(std::nullopt));
    PostMessageW(browse_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(browse_, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    pump();
    EXPECT_EQ(answerer.shown.size(), 2u);
    EXPECT_EQ(GetFocus(), edit_);
    SetFocus(top_.get());
    SetFocus(page());
    pump();
    EXPECT_EQ(GetFocus(), edit_) << "the field, not its button, had the keyboard last";

    // With the field disabled the next control that can take the keyboard takes it.
    EnableWindow(field_, FALSE);
    EnableWindow(edit_, FALSE);
    SetFocus(top_.get());
    SetFocus(page());
    pump();
    EXPECT_EQ(GetFocus(), check_);
}

TEST_F(PageWindowTest, ProcessImportsWithTheBarShownAndAnswersByButtons) {
    test::TempFolder folder("zn-page-window");
    auto& store = host_.records();
    std::string lines;
    // Twelve records; line 12 names one that does not exist, after the run's first yield.
    for (int id = 1; id <= 12; ++id) {
        if (id != 12) store.add({"Student", id, "Kid " + std::to_string(id), std::nullopt});
        const std::u16string photo = folder.write("p" + std::to_string(id) + ".bmp", "BM" + std::to_string(id));
        lines += std::to_string(id) + ",Kid " + std::to_string(id) + "," + text::to_utf8(photo) + "\r\n";
    }
    const std::u16string csv = folder.write("photos.csv", lines);
    open({host::kModuleHM, host::kModuleHV});
    SetFocus(list_);
    key(VK_DOWN);
    ASSERT_EQ(text_of(label2_), instructions_for(u"Student"));
    SetFocus(edit_);
    type(csv);
    ASSERT_TRUE(IsWindowEnabled(process_));

    Answerer answerer;
    answerer.bar = bar_;
    // Cancel at the failing line stops the run: no success box.
    answerer.then(Answerer::press(IDCANCEL));
    SendMessageW(process_, BM_CLICK, 0, 0);
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].title, u"Import Photos");
    EXPECT_EQ(answerer.shown[0].text, u"Error processing record Kid 12");
    EXPECT_TRUE(answerer.shown[0].ok && answerer.shown[0].cancel);
    EXPECT_FALSE(answerer.shown[0].icon);
    EXPECT_TRUE(answerer.shown[0].bar_visible) << "the bar shows while the run works";
    EXPECT_EQ(answerer.shown[0].owner, top_.get()) << "owned by the window that shows the page";
    EXPECT_FALSE(IsWindowVisible(bar_));

    // OK goes on; a second click on Process while the run yields is ignored.
    answerer.then(Answerer::press(IDOK));
    answerer.then(Answerer::press(IDOK));
    PostMessageW(process_, BM_CLICK, 0, 0);  // waits in the queue for the run's first yield
    SendMessageW(process_, BM_CLICK, 0, 0);
    pump();
    ASSERT_EQ(answerer.shown.size(), 3u) << "one prompt and one success box, from one run";
    EXPECT_EQ(answerer.shown[1].text, u"Error processing record Kid 12");
    EXPECT_EQ(answerer.shown[2].title, u"Imported Student Photos");
    EXPECT_EQ(answerer.shown[2].text, u"Photos imported successfully");
    EXPECT_TRUE(answerer.shown[2].ok);
    EXPECT_FALSE(answerer.shown[2].cancel);
    EXPECT_TRUE(answerer.shown[2].icon);
    EXPECT_FALSE(IsWindowVisible(bar_));
    for (int id = 1; id <= 11; ++id) EXPECT_EQ(store.photo("Student", id), "BM" + std::to_string(id)) << id;
}

TEST_F(PageWindowTest, TheHourglassStaysOverThePageWhileItIsSet) {
    open({host::kModuleHM});
    const HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
    const auto pointer_over = [&](HWND control) {
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    ui::set_mouse_pointer(ui::MousePointer::Hourglass);
    EXPECT_EQ(pointer_over(edit_), wait);
    EXPECT_EQ(pointer_over(process_), wait);
    ui::set_mouse_pointer(ui::MousePointer::Default);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))) << "the arrow at once, not at the next move";
    EXPECT_NE(pointer_over(edit_), wait) << "the field shows its own pointer again";
}

TEST_F(PageWindowTest, AWindowSmallerThanThePageScrollsIn225TwipSteps) {
    open({host::kModuleHM});
    const LONG_PTR style_full = GetWindowLongPtrW(page(), GWL_STYLE);
    EXPECT_FALSE(style_full & (WS_HSCROLL | WS_VSCROLL)) << "no scroll bars when the page fits";
    window_->set_rect(RECT{0, 0, 200, 120});
    pump();
    const LONG_PTR style = GetWindowLongPtrW(page(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & WS_VSCROLL);
    const int step = twips_to_pixels(225, window_->dpi());
    const RECT before = rect_in_parent(list_);
    SendMessageW(page(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageW(page(), WM_HSCROLL, SB_LINEDOWN, 0);
    SendMessageW(page(), WM_HSCROLL, SB_LINEDOWN, 0);
    const RECT after = rect_in_parent(list_);
    EXPECT_EQ(after.top, before.top - step);
    EXPECT_EQ(after.left, before.left - 2 * step);
    EXPECT_EQ(after.right - after.left, before.right - before.left) << "sizes stay as designed";
    EXPECT_EQ(GetScrollPos(page(), SB_VERT), step);
    EXPECT_EQ(GetScrollPos(page(), SB_HORZ), 2 * step);
    SendMessageW(page(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(rect_in_parent(list_).top, before.top);

    // A page moves by as many whole steps as the window shows, and back; a dragged thumb too.
    SCROLLINFO shown{sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(page(), SB_VERT, &shown);
    const int page_steps = std::max(static_cast<int>(shown.nPage) / step, 1) * step;
    SendMessageW(page(), WM_VSCROLL, SB_PAGEDOWN, 0);
    const int paged = GetScrollPos(page(), SB_VERT);
    EXPECT_EQ(paged, page_steps) << "the page is " << shown.nPage << " pixels high";
    EXPECT_EQ(rect_in_parent(list_).top, before.top - paged);
    SendMessageW(page(), WM_VSCROLL, SB_PAGEDOWN, 0);
    SCROLLINFO range{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(page(), SB_VERT, &range);
    const int last = range.nMax + 1 - static_cast<int>(range.nPage);
    EXPECT_EQ(GetScrollPos(page(), SB_VERT), std::min(2 * page_steps, last)) << "a second page, or the end";
    SendMessageW(page(), WM_VSCROLL, SB_PAGEUP, 0);
    SendMessageW(page(), WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(GetScrollPos(page(), SB_VERT), 0);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    SetScrollPos(page(), SB_HORZ, 2 * step + step / 2, FALSE);  // where a drag would leave the thumb
    SendMessageW(page(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2 * step + step / 2), 0);
    GetScrollInfo(page(), SB_HORZ, &info);
    EXPECT_EQ(info.nPos, 2 * step) << "back to the step the thumb was dragged past";
}

// A DPI change while the page is scrolled: laid out again from its origin, and scrolled back to as
// many whole steps as before, at the new DPI (also where the parent has another DPI).
TEST_F(PageWindowTest, ADpiChangeWhileScrolledKeepsTheStepsAndNoOffset) {
    open({host::kModuleHM}, 96);
    window_->set_rect(RECT{0, 0, 200, 120});
    SendMessageW(page(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageW(page(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageW(page(), WM_HSCROLL, SB_LINEDOWN, 0);
    backend_.set_dpi_override(144);
    SendMessageW(page(), WM_DPICHANGED_AFTERPARENT, 0, 0);
    ASSERT_EQ(window_->dpi(), 144);
    const int step = twips_to_pixels(225, 144);
    EXPECT_EQ(GetScrollPos(page(), SB_VERT), 2 * step);
    EXPECT_EQ(GetScrollPos(page(), SB_HORZ), step);
    const ui::ControlSpec* list = import_page_layout().find(u"cboRecordType");
    ASSERT_TRUE(list && list->bounds);
    EXPECT_EQ(rect_in_parent(list_).top, twips_to_pixels(list->bounds->top, 144) - 2 * step);
    EXPECT_EQ(rect_in_parent(list_).left, twips_to_pixels(list->bounds->left, 144) - step);
    SendMessageW(page(), WM_VSCROLL, SB_TOP, 0);
    SendMessageW(page(), WM_HSCROLL, SB_TOP, 0);
    EXPECT_EQ(rect_in_parent(list_).top, twips_to_pixels(list->bounds->top, 144)) << "no offset left behind";
    EXPECT_EQ(rect_in_parent(list_).left, twips_to_pixels(list->bounds->left, 144));
}

}  // namespace
}  // namespace zn::page
