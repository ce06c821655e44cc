// The page opened by Wine's own WebBrowser control from the document file, as a browser-based
// host opens it: the browser finds the page's class from the file's content type, loads it and
// activates it inside its own window; closing the browser lets the page and the module go.
#include <gtest/gtest.h>

#include <optional>

#include "page/page_interfaces.h"
#include "page/page_layout.h"
#include "plugin/module_identity.h"
#include "wine/browser_window.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

using com::ComPtr;

// In-place activation needs OLE, not only COM, on the thread.
class OleThread {
public:
    OleThread() : hr_(OleInitialize(nullptr)) {}
    OleThread(const OleThread&) = delete;
    OleThread& operator=(const OleThread&) = delete;
    ~OleThread() {
        if (SUCCEEDED(hr_)) OleUninitialize();
    }
    HRESULT result() const { return hr_; }

private:
    HRESULT hr_;
};

// DllCanUnloadNow of the module as the system loaded it; none when it is not loaded (the system
// unloads it only once that said S_OK).
std::optional<HRESULT> module_can_unload() {
    const HMODULE module = GetModuleHandleW(L"ZNImportPhotos.dll");
    if (!module) return std::nullopt;
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto can_unload =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return can_unload ? can_unload() : E_FAIL;
}

class WebBrowserTest : public ::testing::Test {
protected:
    std::wstring module = module_path();

    void SetUp() override {
        ASSERT_EQ(regsvr32(module, false), 0u);
        // The product's registration maps no extension or content type: only the test does.
        ASSERT_FALSE(key_exists(L".vbd"));
        ASSERT_FALSE(key_exists(L"MIME\\Database\\Content Type\\" + std::wstring(DocumentContentType::kType)));
        content_type.emplace(guid_text(plugin::page_class().clsid));
    }
    void TearDown() override {
        content_type.reset();
        regsvr32(module, true);
    }

    std::wstring document_path() const {
        return module.substr(0, module.find_last_of(L"\\/") + 1) + L"docZNImportPhotos.vbd";
    }

    std::optional<DocumentContentType> content_type;
    OleThread ole;
};

TEST_F(WebBrowserTest, ThePageOpensInsideTheBrowserAndGoesWhenTheBrowserCloses) {
    ASSERT_TRUE(SUCCEEDED(ole.result()));
    BrowserWindow host(L"WebBrowser test", 440, 290);
    ASSERT_EQ(host.embed(), S_OK);
    const HWND browser = host.browser_window();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(IsChild(host.window(), browser));
    ASSERT_EQ(host.navigate(document_path()), S_OK);

    HWND page = nullptr;
    const bool shown = pump_until(
        [&] {
            page = find_descendant(browser, L"ZNImportPhotosPage");
            return page && IsWindowVisible(page);
        },
        30000);
    ASSERT_TRUE(shown) << "the page did not appear inside the browser's window";
    EXPECT_EQ(module_can_unload(), S_FALSE) << "the module is not loaded, or holds no object while the page shows";

    // The page's own controls, inside the browser's window.
    EXPECT_NE(find_descendant(page, L"ComboBox"), nullptr) << "no record-type list";
    const ui::ControlSpec* instructions = page::import_page_layout().find(page::control_name::kInstructionsLabel);
    ASSERT_TRUE(instructions && !instructions->caption.empty());
    const std::wstring caption(instructions->caption.begin(), instructions->caption.end());
    const HWND label = find_descendant(page, L"Static", caption);
    ASSERT_NE(label, nullptr) << "no label with the instructions' design text";
    EXPECT_EQ(GetWindowTextLengthW(label), static_cast<int>(caption.size()));
    EXPECT_TRUE(IsWindowVisible(label));
    RECT area{};
    GetClientRect(page, &area);
    EXPECT_GT(area.right, 0);
    EXPECT_GT(area.bottom, 0);

    // The browser's document is the page, and the page's window is the one shown.
    {
        ComPtr<IDispatch> document;
        ASSERT_EQ(host.browser()->get_Document(document.put()), S_OK);
        ASSERT_TRUE(document);
        ComPtr<page::_docZNImportPhotos> page_interface;
        EXPECT_EQ(document->QueryInterface(com::iid_of<page::_docZNImportPhotos>(), page_interface.put_void()), S_OK);
        const auto in_place = document.try_as<IOleInPlaceObject>();
        ASSERT_TRUE(in_place);
        HWND document_window = nullptr;
        EXPECT_EQ(in_place->GetWindow(&document_window), S_OK);
        EXPECT_TRUE(document_window == page || IsChild(document_window, page));
    }

    EXPECT_EQ(host.close(), S_OK);
    host.destroy_window();
    EXPECT_FALSE(IsWindow(page));
    // Whatever the browser still had queued for the page runs, and then nothing of it is alive.
    EXPECT_TRUE(pump_until(
        [] {
            const auto can_unload = module_can_unload();
            return !can_unload || *can_unload == S_OK;
        },
        10000))
        << "an object of the module is still alive after the browser closed";
}

}  // namespace
}  // namespace zn::wine_test
