// The page's two members called by a real script engine (VBScript) on a page that the reference
// host has set up: the engine binds late, through the page's type information, and passes its
// variables as references to variants, literals as plain Strings.
#include <activscp.h>
#include <gtest/gtest.h>

#include <string>

#include "page/page_interfaces.h"
#include "page_fixture.h"
#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/variant.h"
#include "platform/text/utf.h"
#include "support/described_interface.h"
#include "support/temp_folder.h"

ZN_DECLARE_IID(IActiveScriptSite, "{DB01A1E3-A42B-11cf-8F20-00805F2CD064}");
ZN_DECLARE_IID(IActiveScript, "{BB1A2AE1-A4F9-11cf-8F20-00805F2CD064}");
#ifdef _WIN64
ZN_DECLARE_IID(IActiveScriptParse, "{C7EF7658-E1EE-480E-97EA-D52CB4D76D17}");
#else
ZN_DECLARE_IID(IActiveScriptParse, "{BB1A2AE2-A4F9-11cf-8F20-00805F2CD064}");
#endif

namespace zn::page::testing {
namespace {

using com::Bstr;
using com::ComPtr;
using com::Variant;

// Gives the engine the page as the named item "Page" and keeps the last error it reports.
class ScriptSite final : public com::ComObject<ScriptSite, IActiveScriptSite> {
public:
    explicit ScriptSite(ComPtr<IUnknown> page) : page_(std::move(page)) {}

    std::u16string last_error;
    HRESULT code = S_OK;

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
        if (item) *item = nullptr;
        if (info) *info = nullptr;
        if (std::u16string_view(com::u16(name)) != u"Page") return TYPE_E_ELEMENTNOTFOUND;
        if ((mask & SCRIPTINFO_IUNKNOWN) && item) *item = ComPtr<IUnknown>(page_).detach();
        if ((mask & SCRIPTINFO_ITYPEINFO) && info) return page_.as<IDispatch>()->GetTypeInfo(0, 0, info);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
        EXCEPINFO info{};
        if (error && SUCCEEDED(error->GetExceptionInfo(&info))) {
            if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
            const Bstr description = Bstr::attach(info.bstrDescription);
            const Bstr source = Bstr::attach(info.bstrSource);
            const Bstr help = Bstr::attach(info.bstrHelpFile);
            last_error = std::u16string(description.view());
            code = info.scode;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

private:
    ComPtr<IUnknown> page_;
};

class ScriptEngineTest : public PageTest {
protected:
    ScriptEngineTest() {
        set_up();
        site = com::make_object<ScriptSite>(page);
        CLSID vbscript{};
        EXPECT_EQ(CLSIDFromProgID(L"VBScript", &vbscript), S_OK);
        EXPECT_EQ(
            CoCreateInstance(vbscript, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<IActiveScript>(), engine.put_void()),
            S_OK);
        if (!engine) return;
        parser = engine.as<IActiveScriptParse>();
        EXPECT_EQ(engine->SetScriptSite(site.get()), S_OK);
        EXPECT_EQ(parser->InitNew(), S_OK);
        EXPECT_EQ(engine->AddNamedItem(L"Page", SCRIPTITEM_ISVISIBLE), S_OK);
        EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_CONNECTED), S_OK);
    }
    ~ScriptEngineTest() override {
        if (engine) engine->Close();
    }

    // Runs statements; the engine's error, if any, comes back as its description.
    HRESULT run(const std::u16string& code) {
        return parser->ParseScriptText(reinterpret_cast<LPCOLESTR>(code.c_str()), nullptr, nullptr, nullptr, 0, 0, 0,
                                       nullptr, nullptr);
    }
    Variant evaluate(const std::u16string& expression) {
        Variant value;
        EXPECT_EQ(parser->ParseScriptText(reinterpret_cast<LPCOLESTR>(expression.c_str()), nullptr, nullptr, nullptr, 0,
                                          0, SCRIPTTEXT_ISEXPRESSION, value.receive(), nullptr),
                  S_OK)
            << text::to_utf8(expression);
        return value;
    }
    std::u16string text(const std::u16string& expression) {
        Variant value = evaluate(expression);
        EXPECT_EQ(value.type(), VT_BSTR) << text::to_utf8(expression);
        return value.type() == VT_BSTR ? std::u16string(com::bstr_view(value.get().bstrVal)) : u"";
    }

    ComPtr<ScriptSite> site;
    ComPtr<IActiveScript> engine;
    ComPtr<IActiveScriptParse> parser;
    test::TempFolder folder;
};

using PageTypeInfoTest = PageTest;

TEST_F(PageTypeInfoTest, ThePageDescribesItselfFromTheModulesTypeLibrary) {
    const auto dispatch = page.as<IDispatch>();
    EXPECT_TRUE(IsEqualGUID(test::described_interface(dispatch.get()), com::iid_of<_docZNImportPhotos>()));
    // Parameter names come from the type library too.
    std::u16string member(u"getPicture");
    std::u16string parameter(u"sFileName");
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(member.data()), reinterpret_cast<LPOLESTR>(parameter.data())};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], page::kDispidGetPicture);
    EXPECT_EQ(ids[1], 0);
}

TEST_F(ScriptEngineTest, ParseHandsItsResultsBackIntoTheScriptsVariables) {
    ASSERT_TRUE(parser);
    ASSERT_EQ(run(u"Dim id, name, photo\n"
                  u"name = \"old\"\n"
                  u"Page.ParseOutIDAndFileName \"\"\"12\"\",\"\"Smith\"\",\"\"C:\\p.jpg\"\"\", id, name, photo\n"),
              S_OK)
        << text::to_utf8(site->last_error);
    EXPECT_EQ(text(u"id & \"|\" & name & \"|\" & photo"), u"12|Smith|C:\\p.jpg");
    EXPECT_EQ(text(u"TypeName(id)"), u"String");

    // Called with parentheses and a line held in a variable: the same.
    ASSERT_EQ(run(u"Dim line: line = \"7,Lee,D:\\x.png\"\n"
                  u"Call Page.ParseOutIDAndFileName(line, id, name, photo)\n"),
              S_OK);
    EXPECT_EQ(text(u"id & \"|\" & name & \"|\" & photo"), u"7|Lee|D:\\x.png");
    EXPECT_EQ(host.journal().count("FileUtilities.ReplaceText"), 2u);
}

TEST_F(ScriptEngineTest, GetPictureTakesAVariableOrALiteral) {
    ASSERT_TRUE(parser);
    const std::u16string photo = folder.write("me.jpg", std::string("GIF\x01\xe9", 5));
    ASSERT_EQ(run(u"Dim path, a, b: path = \"" + photo +
                  u"\"\n"
                  u"a = Page.getPicture(path)\n"
                  u"b = Page.getPicture(\"" +
                  photo + u"\")\n"),
              S_OK)
        << text::to_utf8(site->last_error);
    const std::u16string expected{u'G', u'I', u'F', 1, 0xE9};
    EXPECT_EQ(text(u"a"), expected);
    EXPECT_EQ(text(u"b"), expected);
    EXPECT_EQ(text(u"path"), photo);
    // A file that is not there gives the empty String.
    EXPECT_EQ(text(u"Page.getPicture(\"" + folder.path_of("none.jpg") + u"\")"), u"");
}

TEST_F(ScriptEngineTest, AWrongArgumentIsTheScriptsError) {
    ASSERT_TRUE(parser);
    // A variable holding a number cannot take a String back by reference.
    EXPECT_NE(run(u"Dim n: n = 5\nDim a: a = Page.getPicture(n)\n"), S_OK);
    EXPECT_NE(site->code, S_OK);
    EXPECT_EQ(text(u"TypeName(n)"), u"Integer");
}

}  // namespace
}  // namespace zn::page::testing
