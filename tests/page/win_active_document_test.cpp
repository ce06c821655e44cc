// The page's document server against a container site written here: one with a document site
// that behaves as Wine's WebBrowser does (load before the site, the offered view ignored, a
// second verb without arguments, teardown through the view), and one with only an in-place site,
// closed without any deactivation first. The site keeps a journal of the server's calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "page/import_page.h"
#include "page/page_class.h"
#include "page/page_layout.h"
#include "platform/com/com_object.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/app.h"
#include "platform/ui/win/win_backend.h"
#include "platform/ui/win/win_handles.h"

namespace zn::page {
namespace {

using com::ComPtr;
using Journal = std::vector<std::string>;

// A container's site and frame; with as_document_site it also answers IOleDocumentSite and
// activates as Wine's browser does: it ignores the view offered and creates one of its own.
class Site final : public com::ComObject<Site, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IOleDocumentSite> {
public:
    Site(HWND window, bool as_document_site) : window_(window), as_document_site_(as_document_site) {}

    Journal journal;
    IOleInPlaceActiveObject* active_object = nullptr;  // not held: only compared
    std::function<void()> on_ui_deactivate;            // what the container does inside OnUIDeactivate
    std::function<void()> on_ui_activate;              // and inside OnUIActivate

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!as_document_site_ && ppv && com::same_guid(riid, com::iid_of<IOleDocumentSite>())) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(riid, ppv);
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, of the site and of the frame
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        journal.emplace_back("GetWindow");
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return log("CanInPlaceActivate"); }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return log("OnInPlaceActivate"); }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        log("OnUIActivate");
        if (on_ui_activate) on_ui_activate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
        journal.emplace_back("GetWindowContext");
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        log("OnUIDeactivate");
        if (on_ui_deactivate) on_ui_deactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return log("OnInPlaceDeactivate"); }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
        return log(widths ? "SetBorderSpace" : "SetBorderSpace(null)");
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        journal.emplace_back(object ? "SetActiveObject" : "SetActiveObject(null)");
        active_object = object;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleDocumentSite, as Wine's browser: a view of its own, placed and shown, not UI-active.
    HRESULT STDMETHODCALLTYPE ActivateMe(IOleDocumentView*) override {
        journal.emplace_back("ActivateMe");
        const auto document = document_of_client->try_as<IOleDocument>();
        ComPtr<IOleDocumentView> view;
        HRESULT hr = document->CreateView(this, nullptr, 0, view.put());
        if (FAILED(hr)) return hr;
        RECT client{};
        GetClientRect(window_, &client);
        view->SetRect(&client);
        return view->Show(TRUE);
    }

    ComPtr<IUnknown>* document_of_client = nullptr;

private:
    HRESULT log(const char* call) {
        journal.emplace_back(call);
        return S_OK;
    }

    HWND window_;
    bool as_document_site_;
};

// A container's sink for the object's notices; it counts the closes.
class CloseSink final : public com::ComObject<CloseSink, IAdviseSink> {
public:
    int closes = 0;
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override { ++closes; }
};

class ActiveDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.reset(CreateWindowExW(0, L"STATIC", L"container", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(window_);
        page_ = create_import_page();
    }

    // The built module and document file as Wine names them: the Unix root is drive Z:.
    static std::wstring built_module() {
        std::wstring module = L"Z:";
        for (const char c : std::string_view(ZN_MODULE_PATH)) module.push_back(c == '/' ? L'\\' : wchar_t(c));
        return module;
    }
    static std::wstring built_document() {
        const std::wstring module = built_module();
        return module.substr(0, module.find_last_of(L'\\') + 1) + L"docZNImportPhotos.vbd";
    }

    // The window that holds the page's controls, if it lies in the container's window.
    HWND page_window_in_container() const { return GetWindow(window_.get(), GW_CHILD); }

    ui::win::Win32Backend backend_;
    ui::ScopedBackend scope_{backend_};
    ui::win::UniqueWindow window_;
    ComPtr<IUnknown> page_;
};

TEST_F(ActiveDocumentTest, ToleratesWhatTheBrowserDoesAndLetsGoOfItsSite) {
    auto site = com::make_object<Site>(window_.get(), true);
    site->document_of_client = &page_;
    const auto object = page_.as<IOleObject>();

    // The browser loads before it sets the site, whatever the misc status asks; a file that is
    // not the page's document is refused.
    ComPtr<IMoniker> foreign;
    ASSERT_EQ(CreateFileMoniker(built_module().c_str(), foreign.put()), S_OK);
    EXPECT_TRUE(FAILED(page_.as<IPersistMoniker>()->Load(TRUE, foreign.get(), nullptr, 0x12)));
    ComPtr<IMoniker> moniker;
    ASSERT_EQ(CreateFileMoniker(built_document().c_str(), moniker.put()), S_OK);
    ASSERT_EQ(page_.as<IPersistMoniker>()->Load(TRUE, moniker.get(), nullptr, 0x12), S_OK);
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, kPageMiscStatus);

    RECT client{};
    GetClientRect(window_.get(), &client);
    ASSERT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), -1, window_.get(), &client), S_OK);
    EXPECT_EQ(site->journal,
              (Journal{"ActivateMe", "CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext"}));
    const HWND shown = page_window_in_container();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(IsWindowVisible(shown) || !IsWindowVisible(window_.get()));
    HWND reported = nullptr;
    EXPECT_EQ(page_.as<IOleInPlaceObject>()->GetWindow(&reported), S_OK);
    EXPECT_EQ(reported, shown);

    // Activating itself, the browser repeats the verb without arguments, refreshes and asks for
    // the keyboard; state from nowhere is no state.
    site->journal.clear();
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, -1, nullptr, nullptr), S_OK);
    EXPECT_EQ(page_.as<IOleCommandTarget>()->Exec(nullptr, OLECMDID_REFRESH, 0, nullptr, nullptr),
              OLECMDERR_E_NOTSUPPORTED);
    const GUID other_group = com::make_guid("{DE4BA900-59CA-11CF-9592-444553540000}");
    OLECMD command{OLECMDID_PRINT, 1};
    EXPECT_EQ(page_.as<IOleCommandTarget>()->QueryStatus(&other_group, 1, &command, nullptr), OLECMDERR_E_UNKNOWNGROUP);
    const auto view = page_.as<IOleDocumentView>();
    EXPECT_EQ(view->ApplyViewState(nullptr), S_OK);
    EXPECT_EQ(view->UIActivate(TRUE), S_OK);
    EXPECT_EQ(site->journal, (Journal{"OnUIActivate", "SetBorderSpace(null)", "SetActiveObject"}));
    EXPECT_EQ(site->active_object, page_.as<IOleInPlaceActiveObject>().get());
    EXPECT_EQ(GetWindow(window_.get(), GW_CHILD), shown) << "a second activation must not move the page";

    // The browser's teardown: deactivation happens inside the view's and the object's calls.
    site->journal.clear();
    EXPECT_EQ(view->UIActivate(FALSE), S_OK);
    EXPECT_EQ(view->Show(FALSE), S_OK);
    EXPECT_EQ(view->CloseView(0), S_OK);
    EXPECT_EQ(view->SetInPlaceSite(nullptr), S_OK);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(site->journal, (Journal{"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}));
    EXPECT_EQ(page_window_in_container(), nullptr) << "the page's window went back with the deactivation";
    EXPECT_EQ(site->ref_count(), 1U) << "the document still holds its site";
}

TEST_F(ActiveDocumentTest, ActivatesInPlaceWithoutADocumentSiteAndCloseUndoesAll) {
    auto site = com::make_object<Site>(window_.get(), false);
    const auto object = page_.as<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    SIZEL extent{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, MulDiv(import_page_layout().width, 2540, 1440));
    EXPECT_EQ(extent.cy, MulDiv(import_page_layout().height, 2540, 1440));

    RECT client{};
    GetClientRect(window_.get(), &client);
    ASSERT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), -1, window_.get(), &client), S_OK);
    EXPECT_EQ(site->journal, (Journal{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext",
                                      "OnUIActivate", "SetBorderSpace(null)", "SetActiveObject"}));
    const HWND shown = page_window_in_container();
    ASSERT_TRUE(shown);

    // The container's loop offers keys to the active object: Tab moves the focus into the page's
    // order, other keys go back to the container.
    SetFocus(shown);
    MSG tab{shown, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site->active_object->TranslateAccelerator(&tab), S_OK);
    EXPECT_TRUE(IsChild(shown, GetFocus())) << "Tab left the focus outside the page";
    MSG letter{GetFocus(), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(site->active_object->TranslateAccelerator(&letter), S_FALSE);

    // Close alone deactivates and lets go of every interface.
    site->journal.clear();
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site->journal, (Journal{"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}));
    EXPECT_EQ(page_window_in_container(), nullptr);
    EXPECT_EQ(site->ref_count(), 1U) << "Close kept a reference to the site or its frame";
    ComPtr<IOleClientSite> held;
    EXPECT_EQ(object->GetClientSite(held.put()), S_OK);
    EXPECT_FALSE(held);
}

// What the documentation asks of a server beyond the happy path: a verb it does not know, the
// verbs and data it offers, and a site that calls back in or lets go inside its callbacks.
TEST_F(ActiveDocumentTest, VerbsDataAndASiteThatCallsBackInOrLetsGo) {
    auto site = com::make_object<Site>(window_.get(), false);
    const auto object = page_.as<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    // An in-process server has no default handler in front of it: it reads the registry's verbs.
    ComPtr<IEnumOLEVERB> verbs;
    ComPtr<IEnumOLEVERB> registry_verbs;
    const HRESULT registry = OleRegEnumVerbs(com::make_guid(kPageClassId), registry_verbs.put());
    EXPECT_EQ(object->EnumVerbs(verbs.put()), registry);
    EXPECT_NE(registry, OLE_S_USEREG);
    EXPECT_EQ(static_cast<bool>(verbs), static_cast<bool>(registry_verbs));
    RECT client{};
    GetClientRect(window_.get(), &client);
    EXPECT_EQ(object->DoVerb(7, nullptr, site.get(), -1, window_.get(), &client), OLEOBJ_S_INVALIDVERB);
    EXPECT_TRUE(page_window_in_container()) << "an unknown verb does what the primary one does";

    // Data: what QueryGetData offers, GetData renders.
    const auto data = page_.as<IDataObject>();
    FORMATETC embed{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embed Source")), nullptr, DVASPECT_CONTENT, -1,
                    TYMED_ISTORAGE};
    FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&embed), S_OK);
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&embed, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_ISTORAGE));
    CLSID stored{};
    EXPECT_EQ(ReadClassStg(medium.pstg, &stored), S_OK);
    EXPECT_TRUE(IsEqualCLSID(stored, com::make_guid(kPageClassId)));
    ReleaseStgMedium(&medium);
    EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
    EXPECT_EQ(data->GetData(&text, &medium), DV_E_FORMATETC);

    // Deactivated again from inside OnUIDeactivate: the site hears OnInPlaceDeactivate once.
    site->journal.clear();
    site->on_ui_deactivate = [&] { page_.as<IOleInPlaceObject>()->InPlaceDeactivate(); };
    EXPECT_EQ(page_.as<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site->journal, (Journal{"SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}));
    site->on_ui_deactivate = nullptr;
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
}

// Inside-out: active in place but not the container's active object, the page becomes it when the
// user puts the keyboard into it, and then the container hands it Tab.
TEST_F(ActiveDocumentTest, ActiveInPlaceItBecomesTheActiveObjectWhenTheUserTurnsToIt) {
    auto site = com::make_object<Site>(window_.get(), false);
    const auto object = page_.as<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    ShowWindow(window_.get(), SW_SHOW);
    RECT client{};
    GetClientRect(window_.get(), &client);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), -1, window_.get(), &client), S_OK);
    EXPECT_EQ(site->journal, (Journal{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext"}));
    ASSERT_EQ(site->active_object, nullptr);
    const HWND shown = page_window_in_container();
    ASSERT_TRUE(shown);

    site->journal.clear();
    SetFocus(shown);  // the page passes the keyboard on to its first control
    EXPECT_EQ(site->journal, (Journal{"OnUIActivate", "SetBorderSpace(null)", "SetActiveObject"}));
    ASSERT_NE(site->active_object, nullptr);
    const HWND before = GetFocus();
    MSG tab{before, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site->active_object->TranslateAccelerator(&tab), S_OK);
    EXPECT_NE(GetFocus(), before) << "Tab did not move through the page";
    EXPECT_TRUE(IsChild(shown, GetFocus()));
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
}

// A container that closes the document inside OnUIActivate: nothing after that call acts on the
// closed document (no active object set, no keyboard put into the parked page).
TEST_F(ActiveDocumentTest, AContainerMayCloseTheDocumentInsideOnUIActivate) {
    auto site = com::make_object<Site>(window_.get(), false);
    const auto object = page_.as<IOleObject>();
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    ShowWindow(window_.get(), SW_SHOW);
    SetFocus(window_.get());
    site->on_ui_activate = [&] { object->Close(OLECLOSE_NOSAVE); };
    RECT client{};
    GetClientRect(window_.get(), &client);
    EXPECT_EQ(object->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), -1, window_.get(), &client), S_OK);
    EXPECT_EQ(site->journal,
              (Journal{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindow", "GetWindowContext", "OnUIActivate",
                       "SetActiveObject(null)", "OnUIDeactivate", "OnInPlaceDeactivate"}));
    EXPECT_EQ(site->active_object, nullptr);
    ASSERT_FALSE(backend_.pages().empty());
    const HWND parked = backend_.pages().back()->hwnd();
    EXPECT_FALSE(GetFocus() == parked || IsChild(parked, GetFocus())) << "the keyboard went into the closed page";
    site->on_ui_activate = nullptr;
}

// A container that lets go of the document inside OnUIDeactivate, for each call that leads
// there: the call returns normally, and the page is gone afterwards with its window.
TEST_F(ActiveDocumentTest, AContainerMayLetGoInsideACallback) {
    page_ = nullptr;
    const long before = com::ModuleCount::value();
    RECT client{};
    GetClientRect(window_.get(), &client);
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        page_ = create_import_page();
        auto site = com::make_object<Site>(window_.get(), false);
        ASSERT_EQ(page_.as<IOleObject>()->SetClientSite(site.get()), S_OK);
        ASSERT_EQ(page_.as<IOleObject>()->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), -1, window_.get(), &client), S_OK);
        IOleDocumentView* view = page_.as<IOleDocumentView>().detach();
        IOleObject* object = page_.as<IOleObject>().detach();
        page_ = nullptr;
        site->on_ui_deactivate = [&] {
            view->Release();
            object->Release();
        };
        HRESULT hr = E_FAIL;
        if (way == 0) hr = view->Show(FALSE);
        if (way == 1) hr = view->UIActivate(FALSE);
        if (way == 2) hr = object->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, -1, nullptr, nullptr);
        EXPECT_EQ(hr, S_OK);
        site = nullptr;
        EXPECT_EQ(com::ModuleCount::value(), before) << "the page or the site outlived the last reference";
        EXPECT_EQ(page_window_in_container(), nullptr);
    }
}

// What containers read back and hear of the document beyond showing it: its file and name, its
// size, its one view, the close it is told of, and a copy of it put where the container says.
TEST_F(ActiveDocumentTest, AContainerReadsBackItsFileItsNameAndItsViewAndHearsItClose) {
    const auto object = page_.as<IOleObject>();
    const auto file = page_.as<IPersistFile>();
    ComPtr<IMoniker> name;
    EXPECT_EQ(object->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, name.put()), E_UNEXPECTED);
    LPOLESTR current = nullptr;
    ASSERT_EQ(file->GetCurFile(&current), S_FALSE) << "no file yet: the default pattern";
    EXPECT_STREQ(current, L"*.vbd");
    CoTaskMemFree(current);

    // Loaded from its file: that file is its name, it is never dirty, and only saving it where
    // it is succeeds.
    EXPECT_TRUE(FAILED(file->Load(built_module().c_str(), STGM_READ)));
    ASSERT_EQ(file->Load(built_document().c_str(), STGM_READ), S_OK);
    ASSERT_EQ(file->GetCurFile(&current), S_OK);
    EXPECT_EQ(std::wstring(current), built_document());
    CoTaskMemFree(current);
    EXPECT_EQ(file->IsDirty(), S_FALSE);
    EXPECT_EQ(file->Save(nullptr, TRUE), S_OK);
    EXPECT_EQ(file->Save(built_document().c_str(), TRUE), S_OK);
    EXPECT_EQ(file->Save(L"C:\\elsewhere.vbd", TRUE), E_NOTIMPL);
    ASSERT_EQ(object->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, name.put()), S_OK);
    LPOLESTR display = nullptr;
    ASSERT_EQ(name->GetDisplayName(nullptr, nullptr, &display), S_OK);
    EXPECT_EQ(std::wstring(display), built_document());
    CoTaskMemFree(display);
    // Loaded by a moniker, that moniker is its name.
    ComPtr<IMoniker> by_moniker;
    EXPECT_EQ(page_.as<IPersistMoniker>()->GetCurMoniker(by_moniker.put()), E_UNEXPECTED);
    ASSERT_EQ(CreateFileMoniker(built_document().c_str(), by_moniker.put()), S_OK);
    ASSERT_EQ(page_.as<IPersistMoniker>()->Load(TRUE, by_moniker.get(), nullptr, STGM_READ), S_OK);
    ComPtr<IMoniker> read_back;
    ASSERT_EQ(page_.as<IPersistMoniker>()->GetCurMoniker(read_back.put()), S_OK);
    EXPECT_EQ(read_back.get(), by_moniker.get());
    read_back = nullptr;
    ASSERT_EQ(object->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, read_back.put()), S_OK);
    EXPECT_EQ(read_back.get(), by_moniker.get());

    // The type the registry names, and a size the container sets, for its content only.
    LPOLESTR type = nullptr;
    LPOLESTR registry_type = nullptr;
    EXPECT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &type),
              OleRegGetUserType(com::make_guid(kPageClassId), USERCLASSTYPE_FULL, &registry_type));
    EXPECT_EQ(type != nullptr, registry_type != nullptr);
    CoTaskMemFree(type);
    CoTaskMemFree(registry_type);
    SIZEL size{5000, 3000};
    EXPECT_EQ(object->SetExtent(DVASPECT_THUMBNAIL, &size), E_FAIL);
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
    SIZEL read_size{};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &read_size), S_OK);
    EXPECT_EQ(read_size.cx, 5000);
    EXPECT_EQ(read_size.cy, 3000);

    // One view, whichever way it is asked for, which knows its document and keeps its rectangle.
    const auto document = page_.as<IOleDocument>();
    DWORD misc = 0;
    ASSERT_EQ(document->GetDocMiscStatus(&misc), S_OK);
    EXPECT_EQ(misc, static_cast<DWORD>(DOCMISC_CANTOPENEDIT));
    auto site = com::make_object<Site>(window_.get(), false);
    ComPtr<IOleDocumentView> created;
    ASSERT_EQ(document->CreateView(site.get(), nullptr, 0, created.put()), S_OK);
    ComPtr<IEnumOleDocumentViews> many;
    ComPtr<IOleDocumentView> one;
    ASSERT_EQ(document->EnumViews(many.put(), one.put()), S_OK);
    EXPECT_FALSE(many);
    EXPECT_EQ(one.get(), created.get());
    ComPtr<IUnknown> of_view;
    ASSERT_EQ(created->GetDocument(of_view.put()), S_OK);
    EXPECT_EQ(of_view.get(), page_.get());
    ComPtr<IOleInPlaceSite> view_site;
    ASSERT_EQ(created->GetInPlaceSite(view_site.put()), S_OK);
    EXPECT_EQ(view_site.get(), static_cast<IOleInPlaceSite*>(site.get()));
    RECT rect{};
    EXPECT_EQ(created->GetRect(&rect), E_UNEXPECTED);
    RECT set{10, 20, 310, 220};
    ASSERT_EQ(created->SetRect(&set), S_OK);
    ASSERT_EQ(created->GetRect(&rect), S_OK);
    EXPECT_TRUE(EqualRect(&rect, &set));
    ASSERT_EQ(created->SetInPlaceSite(nullptr), S_OK);

    // A copy put into the container's own storage names the page's class.
    ComPtr<IStorage> storage;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                               storage.put()),
              S_OK);
    FORMATETC embed{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embed Source")), nullptr, DVASPECT_CONTENT, -1,
                    TYMED_ISTORAGE};
    STGMEDIUM here{};
    here.tymed = TYMED_ISTORAGE;
    here.pstg = storage.get();
    ASSERT_EQ(page_.as<IDataObject>()->GetDataHere(&embed, &here), S_OK);
    CLSID stored{};
    ASSERT_EQ(ReadClassStg(storage.get(), &stored), S_OK);
    EXPECT_TRUE(IsEqualCLSID(stored, com::make_guid(kPageClassId)));

    // Told of the close, once; a connection let go hears nothing more.
    auto sink = com::make_object<CloseSink>();
    DWORD connection = 0;
    EXPECT_EQ(object->Unadvise(1), OLE_E_NOCONNECTION);
    ASSERT_EQ(object->Advise(sink.get(), &connection), S_OK);
    ComPtr<IEnumSTATDATA> advised;
    EXPECT_EQ(object->EnumAdvise(advised.put()), S_OK);
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(sink->closes, 1);
    ASSERT_EQ(object->Advise(sink.get(), &connection), S_OK);
    ASSERT_EQ(object->Unadvise(connection), S_OK);
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(sink->closes, 1);
}

}  // namespace
}  // namespace zn::page
