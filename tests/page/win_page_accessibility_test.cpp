// What a screen reader hears of the page, read as one reads it: the accessible object of each
// control's window through the system (AccessibleObjectFromWindow), the events through a WinEvent
// hook, while the page is driven by window messages as a user's input makes them.
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "page/win_page_fixture.h"
#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/variant.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/win/win_accessible.h"

namespace zn::page {
namespace {

// What a screen reader reads of a window's client area.
struct Heard {
    HRESULT found = E_FAIL;
    std::u16string name;
    std::u16string description;
    std::u16string shortcut;
    std::u16string value;
    LONG role = 0;
    LONG state = 0;
    HWND window = nullptr;  // what the object says it is for
};

com::ComPtr<IAccessible> accessible(HWND window) {
    com::ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), com::iid_of<IAccessible>(), object.put_void());
    return object;
}

VARIANT child_self() {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

std::u16string class_name(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::u16string(name, name + wcslen(name));
}

Heard hear(HWND window) {
    Heard h;
    const com::ComPtr<IAccessible> object = accessible(window);
    if (!object) return h;
    h.found = S_OK;
    const VARIANT self = child_self();
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*member)(VARIANT, BSTR*)) {
        com::Bstr out;
        (object.get()->*member)(self, out.receive());
        return out.str();
    };
    h.name = text(&IAccessible::get_accName);
    h.description = text(&IAccessible::get_accDescription);
    h.shortcut = text(&IAccessible::get_accKeyboardShortcut);
    h.value = text(&IAccessible::get_accValue);
    com::Variant role;
    if (SUCCEEDED(object->get_accRole(self, role.receive())) && role.type() == VT_I4) h.role = role.get().lVal;
    com::Variant state;
    if (SUCCEEDED(object->get_accState(self, state.receive())) && state.type() == VT_I4) h.state = state.get().lVal;
    WindowFromAccessibleObject(object.get(), &h.window);
    return h;
}

TEST_F(PageWindowTest, AScreenReaderHearsEachControlsNameDescriptionAndShortcut) {
    open({host::kModuleHM, host::kModuleHV});

    const Heard page_heard = hear(page());
    EXPECT_EQ(page_heard.name, kPageCaption);
    EXPECT_EQ(page_heard.window, page()) << "the object says which window it is";

    const Heard list = hear(list_);
    EXPECT_EQ(list.name, u"Select the type of record for photo importing");
    EXPECT_EQ(list.value, u"Applicant");
    EXPECT_EQ(list.role, ROLE_SYSTEM_COMBOBOX);

    const Heard field = hear(edit_);
    EXPECT_EQ(field.name, u"Import file name");
    EXPECT_EQ(field.description, instructions_for(u"Applicant"));
    EXPECT_EQ(field.shortcut, u"F7");
    EXPECT_EQ(field.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(hear(field_).name, u"Import file name");
    EXPECT_EQ(hear(field_).role, ROLE_SYSTEM_GROUPING);

    const Heard browse = hear(browse_);
    EXPECT_EQ(browse.name, u"Browse for the import file");
    EXPECT_EQ(browse.shortcut, u"F7");
    EXPECT_EQ(browse.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(text_of(browse_), u"...") << "what a sighted user sees stays";

    EXPECT_EQ(hear(bar_).name, u"Import progress");
    EXPECT_EQ(hear(bar_).value, u"0%");
    EXPECT_EQ(hear(bar_).role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(hear(frame_).role, ROLE_SYSTEM_GROUPING);
    EXPECT_EQ(hear(process_).name, u"Process");
    EXPECT_EQ(hear(process_).role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_TRUE(hear(process_).state & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(hear(check_).role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_FALSE(hear(check_).state & STATE_SYSTEM_CHECKED);
    SendMessageW(check_, BM_CLICK, 0, 0);
    EXPECT_TRUE(hear(check_).state & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(hear(label2_).role, ROLE_SYSTEM_STATICTEXT);

    // The words follow a choice of record type: the field is described by the new instructions.
    SetFocus(list_);
    key(VK_DOWN);
    key(VK_DOWN);
    ASSERT_EQ(text_of(label2_), instructions_for(u"Faculty/Staff"));
    EXPECT_EQ(hear(list_).value, u"Faculty/Staff");
    EXPECT_EQ(hear(edit_).description, instructions_for(u"Faculty/Staff"));
    EXPECT_EQ(hear(edit_).name, u"Import file name");
}

TEST_F(PageWindowTest, ThePageIsBusyForAScreenReaderWhileTheHourglassShows) {
    test::TempFolder folder("zn-page-accessibility");
    host_.records().add({"Applicant", 1, "Ann", std::nullopt});
    const std::u16string photo = folder.write("locked.bmp", "BM");
    const std::u16string csv = folder.write("photos.csv", "1,Ann," + text::to_utf8(photo) + "\r\n");
    // Held open without sharing, the photo cannot be read: the run says so while it reads.
    const std::unique_ptr<void, decltype(&CloseHandle)> locked(
        CreateFileW(wide(photo).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), &CloseHandle);
    ASSERT_NE(locked.get(), INVALID_HANDLE_VALUE);
    open({host::kModuleHM});
    SetFocus(edit_);
    type(csv);
    EXPECT_FALSE(hear(page()).state & STATE_SYSTEM_BUSY);

    Answerer answerer;
    LONG state_at_box = 0;
    answerer.then([&](HWND box, Shown&) {
        state_at_box = hear(page()).state;
        Answerer::click(box, IDOK);
    });
    answerer.then(Answerer::press(IDOK));  // the success box
    SendMessageW(process_, BM_CLICK, 0, 0);
    pump();
    ASSERT_EQ(answerer.shown.size(), 2u);
    EXPECT_FALSE(answerer.shown[0].cancel) << "the reader's own report: " << text::to_utf8(answerer.shown[0].text);
    EXPECT_EQ(answerer.shown[1].text, message::kImportedPrompt);
    EXPECT_TRUE(state_at_box & STATE_SYSTEM_BUSY) << "busy while the photo is read";
    EXPECT_FALSE(hear(page()).state & STATE_SYSTEM_BUSY) << "and no longer once the hourglass went";
}

// Where the page adds nothing (where a control sits, what lies under a point, its parent and
// children, its default action), a screen reader gets the system's own answer, and through
// IDispatch the same as through IAccessible.
TEST_F(PageWindowTest, WhereThePageAddsNothingAScreenReaderGetsTheSystemsAnswer) {
    open({host::kModuleHM, host::kModuleHV});
    const VARIANT self = child_self();
    for (const HWND window : {list_, edit_, browse_, check_, process_, bar_}) {
        SCOPED_TRACE(testing::Message() << "window of class " << text::to_utf8(class_name(window)));
        const com::ComPtr<IAccessible> ours = accessible(window);
        com::ComPtr<IAccessible> system;
        ASSERT_EQ(CreateStdAccessibleObject(window, OBJID_CLIENT, com::iid_of<IAccessible>(), system.put_void()), S_OK);
        ASSERT_TRUE(ours);

        std::array<LONG, 4> ours_box{};
        std::array<LONG, 4> system_box{-1, -1, -1, -1};
        EXPECT_EQ(ours->accLocation(&ours_box[0], &ours_box[1], &ours_box[2], &ours_box[3], self), S_OK);
        system->accLocation(&system_box[0], &system_box[1], &system_box[2], &system_box[3], self);
        EXPECT_EQ(ours_box, system_box);
        LONG ours_children = -1;
        LONG system_children = -2;
        EXPECT_EQ(ours->get_accChildCount(&ours_children), system->get_accChildCount(&system_children));
        EXPECT_EQ(ours_children, system_children);
        com::ComPtr<IDispatch> ours_parent;
        com::ComPtr<IDispatch> system_parent;
        EXPECT_EQ(ours->get_accParent(ours_parent.put()), system->get_accParent(system_parent.put()));
        EXPECT_EQ(static_cast<bool>(ours_parent), static_cast<bool>(system_parent));
        com::Variant ours_hit;
        com::Variant system_hit;
        const LONG x = ours_box[0] + ours_box[2] / 2;
        const LONG y = ours_box[1] + ours_box[3] / 2;
        EXPECT_EQ(ours->accHitTest(x, y, ours_hit.receive()), system->accHitTest(x, y, system_hit.receive()));
        EXPECT_EQ(ours_hit.type(), system_hit.type());
        com::Bstr ours_action;
        com::Bstr system_action;
        EXPECT_EQ(ours->get_accDefaultAction(self, ours_action.receive()),
                  system->get_accDefaultAction(self, system_action.receive()));
        EXPECT_EQ(ours_action.str(), system_action.str());
        com::Variant ours_next;
        com::Variant system_next;
        EXPECT_EQ(ours->accNavigate(NAVDIR_FIRSTCHILD, self, ours_next.receive()),
                  system->accNavigate(NAVDIR_FIRSTCHILD, self, system_next.receive()));
        EXPECT_EQ(ours_next.type(), system_next.type());
        // Children walked as clients walk them.
        const auto ours_walk = ours.try_as<IEnumVARIANT>();
        const auto system_walk = system.try_as<IEnumVARIANT>();
        ASSERT_EQ(static_cast<bool>(ours_walk), static_cast<bool>(system_walk));
        if (ours_walk) {
            std::array<VARIANT, 8> items{};
            ULONG ours_fetched = 0;
            ULONG system_fetched = 1;
            EXPECT_EQ(ours_walk->Reset(), S_OK);
            ours_walk->Next(8, items.data(), &ours_fetched);
            for (ULONG i = 0; i < ours_fetched; ++i) VariantClear(&items[i]);
            system_walk->Reset();
            system_walk->Next(8, items.data(), &system_fetched);
            for (ULONG i = 0; i < system_fetched; ++i) VariantClear(&items[i]);
            EXPECT_EQ(ours_fetched, system_fetched);
        }
    }

    // By name through IDispatch, as script clients ask: the page's words, where the system's
    // proxy describes itself (Wine's does not, and then neither does the page's).
    const com::ComPtr<IAccessible> field = accessible(edit_);
    com::ComPtr<IAccessible> system;
    ASSERT_EQ(CreateStdAccessibleObject(edit_, OBJID_CLIENT, com::iid_of<IAccessible>(), system.put_void()), S_OK);
    LPOLESTR member = const_cast<LPOLESTR>(L"accName");
    DISPID id = 0;
    const HRESULT named = system->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
    ASSERT_EQ(field->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id), named);
    if (SUCCEEDED(named)) {
        VARIANT argument = child_self();
        DISPPARAMS params{&argument, nullptr, 1, 0};
        com::Variant name;
        ASSERT_EQ(field->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &params, name.receive(),
                                nullptr, nullptr),
                  S_OK);
        ASSERT_EQ(name.type(), VT_BSTR);
        EXPECT_EQ(com::bstr_view(name.get().bstrVal), u"Import file name");
    }
}

TEST_F(PageWindowTest, AnObjectAClientStillHoldsAfterThePageWentIsCutOff) {
    open({host::kModuleHM, host::kModuleHV});
    com::ComPtr<IAccessible> held = accessible(edit_);
    ASSERT_TRUE(held);
    ASSERT_EQ(hear(edit_).name, u"Import file name");
    page_ = nullptr;
    window_ = nullptr;
    ASSERT_FALSE(IsWindow(edit_)) << "the page's windows went with it";

    // Every member, answered without the window, the page or the system's proxy.
    VARIANT self = child_self();
    com::Bstr text;
    com::Variant out;
    LONG n = 0;
    com::ComPtr<IDispatch> object;
    const std::vector<std::pair<const char*, std::function<HRESULT()>>> members{
        {"accName", [&] { return held->get_accName(self, text.receive()); }},
        {"accValue", [&] { return held->get_accValue(self, text.receive()); }},
        {"accDescription", [&] { return held->get_accDescription(self, text.receive()); }},
        {"accKeyboardShortcut", [&] { return held->get_accKeyboardShortcut(self, text.receive()); }},
        {"accHelp", [&] { return held->get_accHelp(self, text.receive()); }},
        {"accDefaultAction", [&] { return held->get_accDefaultAction(self, text.receive()); }},
        {"accHelpTopic", [&] { return held->get_accHelpTopic(text.receive(), self, &n); }},
        {"accRole", [&] { return held->get_accRole(self, out.receive()); }},
        {"accState", [&] { return held->get_accState(self, out.receive()); }},
        {"accFocus", [&] { return held->get_accFocus(out.receive()); }},
        {"accSelection", [&] { return held->get_accSelection(out.receive()); }},
        {"accParent", [&] { return held->get_accParent(object.put()); }},
        {"accChild", [&] { return held->get_accChild(self, object.put()); }},
        {"accChildCount", [&] { return held->get_accChildCount(&n); }},
        {"accLocation", [&] { return held->accLocation(&n, &n, &n, &n, self); }},
        {"accNavigate", [&] { return held->accNavigate(NAVDIR_NEXT, self, out.receive()); }},
        {"accHitTest", [&] { return held->accHitTest(1, 1, out.receive()); }},
        {"accSelect", [&] { return held->accSelect(SELFLAG_TAKEFOCUS, self); }},
        {"accDoDefaultAction", [&] { return held->accDoDefaultAction(self); }},
        {"put_accName", [&] { return held->put_accName(self, nullptr); }},
        {"put_accValue", [&] { return held->put_accValue(self, nullptr); }},
        {"GetTypeInfoCount", [&] { return held->GetTypeInfoCount(reinterpret_cast<UINT*>(&n)); }},
        {"GetWindow",
         [&] {
             HWND window = nullptr;
             return held.as<IOleWindow>()->GetWindow(&window);
         }},
    };
    for (const auto& [member, call] : members) EXPECT_EQ(call(), RPC_E_DISCONNECTED) << member;
    // The module stays loaded for the client until it lets go (DllCanUnloadNow reads this count).
    const long alive = com::ModuleCount::value();
    held = nullptr;
    EXPECT_EQ(com::ModuleCount::value(), alive - 1);
}

// The events a screen reader listens for, as a WinEvent hook sees them in this process.
class Announcements {
public:
    Announcements() {
        current_ = this;
        hook_ = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, GetModuleHandleW(nullptr), seen,
                                GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_INCONTEXT);
        EXPECT_NE(hook_, nullptr);
    }
    Announcements(const Announcements&) = delete;
    Announcements& operator=(const Announcements&) = delete;
    ~Announcements() {
        UnhookWinEvent(hook_);
        current_ = nullptr;
    }

    int count(HWND window, DWORD event) const {
        return static_cast<int>(std::count(events_.begin(), events_.end(), std::pair{window, event}));
    }
    void clear() { events_.clear(); }

private:
    static void CALLBACK seen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        if (current_ && object == OBJID_CLIENT && child == CHILDID_SELF) current_->events_.emplace_back(window, event);
    }

    static inline Announcements* current_ = nullptr;
    HWINEVENTHOOK hook_ = nullptr;
    std::vector<std::pair<HWND, DWORD>> events_;
};

TEST_F(PageWindowTest, AScreenReaderIsToldWhatThePagesOwnCodeChanges) {
    test::TempFolder folder("zn-page-accessibility");
    host_.records().add({"Student", 1, "Ann", std::nullopt});
    const std::u16string photo = folder.write("p1.bmp", "BM1");
    const std::u16string csv = folder.write("photos.csv", "1,Ann," + text::to_utf8(photo) + "\r\n");
    Announcements heard;
    open({host::kModuleHM, host::kModuleHV});
    // Set-up: the first entry chosen, Process disabled, the instructions written.
    EXPECT_GE(heard.count(list_, EVENT_OBJECT_VALUECHANGE), 1);
    EXPECT_GE(heard.count(process_, EVENT_OBJECT_STATECHANGE), 1);
    EXPECT_GE(heard.count(label2_, EVENT_OBJECT_NAMECHANGE), 1);
    EXPECT_GE(heard.count(edit_, EVENT_OBJECT_DESCRIPTIONCHANGE), 1) << "the field's description is the instructions";

    heard.clear();
    SetFocus(list_);
    key(VK_DOWN);
    ASSERT_EQ(text_of(label2_), instructions_for(u"Student"));
    EXPECT_EQ(heard.count(edit_, EVENT_OBJECT_DESCRIPTIONCHANGE), 1);
    EXPECT_EQ(heard.count(label2_, EVENT_OBJECT_NAMECHANGE), 1);

    heard.clear();
    SetFocus(edit_);
    type(csv);
    EXPECT_EQ(heard.count(process_, EVENT_OBJECT_STATECHANGE), 1) << "Process enabled once";

    heard.clear();
    Answerer answerer;
    answerer.then(Answerer::press(IDOK));
    SendMessageW(process_, BM_CLICK, 0, 0);
    pump();
    ASSERT_EQ(answerer.shown.size(), 1u);
    EXPECT_EQ(answerer.shown[0].text, message::kImportedPrompt);
    EXPECT_GE(heard.count(bar_, EVENT_OBJECT_VALUECHANGE), 1) << "the bar moved";
    EXPECT_EQ(heard.count(page(), EVENT_OBJECT_STATECHANGE), 2) << "busy with the hourglass, then no longer";
}

}  // namespace
}  // namespace zn::page
