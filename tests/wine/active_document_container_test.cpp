// The reference host's Active Document container with the real page: the document file bound
// through a file moniker and through OleCreateFromFile, activated in a window, the site calls
// the page makes checked in their order, keys given to the active object, and afterwards every
// object of the module released.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/win/win_handles.h"
#include "refhost/container/win/embedded_document.h"
#include "refhost/container/win/module_unload.h"
#include "refhost/container/win/ole_initialization.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

using refhost::win::Binding;
using refhost::win::EmbeddedDocument;
using refhost::win::SiteJournal;

std::u16string document_path() {
    const std::wstring module = module_path();
    const std::wstring path = module.substr(0, module.rfind(L'\\')) + L"\\docZNImportPhotos.vbd";
    return std::u16string(path.begin(), path.end());
}

HRESULT module_can_unload() {
    return refhost::win::loaded_module_can_unload(L"ZNImportPhotos.dll").value_or(E_FAIL);
}

std::string joined(const SiteJournal& journal, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < journal.size(); ++i) text += (text.empty() ? "" : ", ") + journal[i];
    return text;
}

// The calls appear in the journal in this order from position `from` on; others may come between.
::testing::AssertionResult in_order(const SiteJournal& journal, std::initializer_list<std::string_view> calls,
                                    std::size_t from = 0) {
    auto at = journal.begin() + static_cast<std::ptrdiff_t>(from);
    for (std::string_view call : calls) {
        at = std::find(at, journal.end(), call);
        if (at == journal.end())
            return ::testing::AssertionFailure() << "no " << call << " in order in: " << joined(journal, from);
        ++at;
    }
    return ::testing::AssertionSuccess();
}

long count(const SiteJournal& journal, std::string_view call) {
    return std::count(journal.begin(), journal.end(), call);
}

RECT rect_in_parent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LRESULT CALLBACK plain_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

class ActiveDocumentContainer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(ole_.result()));
        ASSERT_EQ(regsvr32(module_path(), false), 0u);
        window_.reset(CreateWindowExW(0, window_class_.name(), L"Container test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                      0, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(window_) << "no window (is there a display?) " << GetLastError();
    }
    void TearDown() override {
        window_.reset();
        regsvr32(module_path(), true);
    }

    HWND window() const { return window_.get(); }
    HWND page_window() const { return FindWindowExW(window(), nullptr, L"ZNImportPhotosPage", nullptr); }
    RECT client() const {
        RECT r{};
        GetClientRect(window(), &r);
        return r;
    }

    // The page is a visible child of the container's window filling its client area, also
    // after the window changed its size.
    void expect_page_fills_the_window(EmbeddedDocument& document) {
        const HWND page = page_window();
        ASSERT_NE(page, nullptr) << "the page's window is not a child of the container's";
        EXPECT_EQ(GetParent(page), window());
        EXPECT_TRUE(IsWindowVisible(page));
        EXPECT_TRUE(same_rect(rect_in_parent(page), client()));
        SetWindowPos(window(), nullptr, 0, 0, 700, 560, SWP_NOMOVE | SWP_NOZORDER);
        document.resize();
        EXPECT_TRUE(same_rect(rect_in_parent(page), client())) << "the page follows the window's size";
    }

    const refhost::win::OleInitialization ole_;
    const ui::win::WindowClass window_class_{L"ZNContainerTest", plain_procedure, 0,
                                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
    ui::win::UniqueWindow window_;
};

class BoundEitherWay : public ActiveDocumentContainer, public ::testing::WithParamInterface<Binding> {};

TEST_P(BoundEitherWay, ThePageActivatesAsADocumentAndIsTakenDownInOrder) {
    const auto journal = std::make_shared<SiteJournal>();
    {
        EmbeddedDocument document(window(), document_path(), {.binding = GetParam(), .journal = journal});
        EXPECT_EQ(module_can_unload(), S_FALSE) << "the page is alive";
        // OleCreateFromFile gives the object its site itself.
        EXPECT_EQ(count(*journal, "container: SetClientSite"), GetParam() == Binding::FileMoniker ? 1 : 0);
        EXPECT_TRUE(in_order(*journal, {"container: DoVerb(OLEIVERB_SHOW)", "QueryInterface(IOleDocumentSite)",
                                        "ActivateMe", "container: SetInPlaceSite", "container: UIActivate(TRUE)",
                                        "OnInPlaceActivate", "GetWindow", "GetWindowContext", "OnUIActivate",
                                        "SetActiveObject", "container: SetRect", "container: Show(TRUE)"}));
        EXPECT_EQ(count(*journal, "ActivateMe"), 1);
        EXPECT_EQ(count(*journal, "OnInPlaceActivate"), 1);
        ASSERT_NE(document.site().view(), nullptr);
        EXPECT_NE(document.site().active_object(), nullptr);
        expect_page_fills_the_window(document);
        // The view's window is the page's.
        HWND view_window = nullptr;
        EXPECT_EQ(com::ComPtr<IOleDocumentView>(document.site().view()).as<IOleWindow>()->GetWindow(&view_window),
                  S_OK);
        EXPECT_EQ(view_window, page_window());

        const std::size_t before_close = journal->size();
        document.close();
        EXPECT_TRUE(
            in_order(*journal,
                     {"container: Show(FALSE)", "SetActiveObject(NULL)", "OnUIDeactivate",
                      "container: UIActivate(FALSE)", "container: CloseView(0)", "container: SetInPlaceSite(NULL)",
                      "container: Close(OLECLOSE_NOSAVE)", "container: SetClientSite(NULL)"},
                     before_close));
        EXPECT_TRUE(in_order(*journal,
                             {"container: Show(FALSE)", "OnInPlaceDeactivate", "container: Close(OLECLOSE_NOSAVE)"},
                             before_close));
        EXPECT_EQ(count(*journal, "OnInPlaceDeactivate"), 1);
        EXPECT_EQ(journal->back(), "container: SetClientSite(NULL)") << "no site call after the page let go of it";
        EXPECT_EQ(page_window(), nullptr) << "the page's window left the container's";
        EXPECT_TRUE(document.site_released());
    }
    EXPECT_EQ(module_can_unload(), S_OK) << "every object of the module is released";
}

INSTANTIATE_TEST_SUITE_P(Container, BoundEitherWay, ::testing::Values(Binding::FileMoniker, Binding::CreateFromFile),
                         [](const ::testing::TestParamInfo<Binding>& info) {
                             return info.param == Binding::FileMoniker ? "FileMoniker" : "OleCreateFromFile";
                         });

TEST_F(ActiveDocumentContainer, WithoutADocumentSiteThePageActivatesInPlace) {
    const auto journal = std::make_shared<SiteJournal>();
    {
        EmbeddedDocument document(window(), document_path(), {.document_site = false, .journal = journal});
        EXPECT_TRUE(in_order(*journal, {"container: SetClientSite", "container: DoVerb(OLEIVERB_SHOW)",
                                        "QueryInterface(IOleDocumentSite)", "CanInPlaceActivate", "OnInPlaceActivate",
                                        "GetWindow", "GetWindowContext", "OnUIActivate", "SetActiveObject"}));
        EXPECT_EQ(count(*journal, "ActivateMe"), 0);
        EXPECT_EQ(document.site().view(), nullptr);
        expect_page_fills_the_window(document);

        const std::size_t before_close = journal->size();
        document.close();
        EXPECT_TRUE(
            in_order(*journal,
                     {"container: UIDeactivate", "OnUIDeactivate", "container: InPlaceDeactivate",
                      "OnInPlaceDeactivate", "container: Close(OLECLOSE_NOSAVE)", "container: SetClientSite(NULL)"},
                     before_close));
        EXPECT_EQ(journal->back(), "container: SetClientSite(NULL)");
        EXPECT_EQ(page_window(), nullptr);
        EXPECT_TRUE(document.site_released());
    }
    EXPECT_EQ(module_can_unload(), S_OK);
}

TEST_F(ActiveDocumentContainer, KeysReachThePageThroughItsActiveObject) {
    EmbeddedDocument document(window(), document_path());
    const HWND page = page_window();
    ASSERT_NE(page, nullptr);
    const HWND frame = FindWindowExW(page, nullptr, L"ZNImportPhotosFrame", nullptr);
    const HWND field = frame ? FindWindowExW(frame, nullptr, L"ZNImportPhotosField", nullptr) : nullptr;
    const HWND edit = field ? FindWindowExW(field, nullptr, L"Edit", nullptr) : nullptr;
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);

    MSG tab{edit, WM_KEYDOWN, VK_TAB, 1, 0, {}};
    EXPECT_TRUE(document.translate(tab)) << "the page moves the focus on Tab";
    EXPECT_NE(GetFocus(), edit);
    EXPECT_TRUE(IsChild(page, GetFocus()));
    MSG letter{GetFocus(), WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_FALSE(document.translate(letter)) << "a letter is for the focused control";

    document.close();
    EXPECT_FALSE(document.translate(tab)) << "no active object after the document closed";
}

// The file dialog runs the container's messages: a container that closes the document from a
// timer while the dialog opened by F7 is up. The page's handler outlives the close, touches
// nothing of the page afterwards, and then every object of the module is released.
struct ClosingTimer {
    EmbeddedDocument* document = nullptr;
    bool closed_under_the_dialog = false;
};
ClosingTimer* closing_timer = nullptr;

BOOL CALLBACK cancel_dialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring_view(name) == L"#32770" && IsWindowVisible(window)) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return FALSE;
    }
    return TRUE;
}

void CALLBACK close_document(HWND window, UINT, UINT_PTR id, DWORD) {
    // Only once the dialog is up, which owns the container's window.
    if (IsWindowEnabled(window)) return;
    KillTimer(window, id);
    closing_timer->document->close();
    closing_timer->closed_under_the_dialog = true;
    EnumThreadWindows(GetCurrentThreadId(), cancel_dialog, 0);
}

TEST_F(ActiveDocumentContainer, ClosedWhileItsFileDialogIsUp) {
    {
        EmbeddedDocument document(window(), document_path());
        const HWND page = page_window();
        const HWND frame = page ? FindWindowExW(page, nullptr, L"ZNImportPhotosFrame", nullptr) : nullptr;
        const HWND field = frame ? FindWindowExW(frame, nullptr, L"ZNImportPhotosField", nullptr) : nullptr;
        const HWND edit = field ? FindWindowExW(field, nullptr, L"Edit", nullptr) : nullptr;
        ASSERT_NE(edit, nullptr);
        SetFocus(edit);
        ClosingTimer timer{&document};
        closing_timer = &timer;
        SetTimer(window(), 1, 100, close_document);
        PostMessageW(edit, WM_KEYDOWN, VK_F7, 1);
        MSG message{};
        for (int i = 0; i < 200 && !timer.closed_under_the_dialog; ++i) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(50);
        }
        closing_timer = nullptr;
        KillTimer(window(), 1);
        EXPECT_TRUE(timer.closed_under_the_dialog) << "the dialog did not come up";
        EXPECT_FALSE(IsWindow(edit)) << "the page outlived the close and its handler";
    }
    EXPECT_EQ(module_can_unload(), S_OK) << "every object of the module is released";
}

}  // namespace
}  // namespace zn::wine_test
