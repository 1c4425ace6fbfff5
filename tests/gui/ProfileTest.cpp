#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/profile/ProfileStartup.h"
#include "browserlib/profile/winEmbedFileLocProvider.h"
#include "browserlib/runtime/PrefService.h"
#include "browserlib/runtime/ProfileManager.h"
#include "browserlib/runtime/engine/headless/HeadlessBackend.h"
#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "tests/gui/BrowserTestSupport.h"
#include "tests/unit/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <wx/filename.h>

namespace {
std::string DataHome() {
    return std::getenv("XDG_DATA_HOME");
}

std::string PathFor(winEmbedFileLocProvider& provider, const char* key, nsresult* rv = nullptr) {
    PRBool persistent = false;
    nsCOMPtr<nsIFile> file;
    const nsresult result = provider.GetFile(key, &persistent, getter_AddRefs(file));
    if (rv)
        *rv = result;
    EXPECT_TRUE(persistent) << key;
    return LocalFile::PathOf(file);
}

std::string CurrentProfile() {
    nsCOMPtr<nsIProfile> profiles = do_GetService<nsIProfile>("@mozilla.org/profile/manager;1");
    PRUnichar* name = nullptr;
    if (!profiles || NS_FAILED(profiles->GetCurrentProfile(&name)))
        return std::string();
    const std::string result = nsMemory::ToUTF8(name);
    nsMemory::Free(name);
    return result;
}
} // namespace

TEST(DirectoryProvider, KeysOfTheDirectoryTable) {
    LibraryFixture lib;
    nsCOMPtr<winEmbedFileLocProvider> provider = new winEmbedFileLocProvider("wxMozBrowserLib");
    const std::string product = DataHome() + "/wxMozBrowserLib";
    EXPECT_EQ(PathFor(*provider, "AppRegD"), product);
    EXPECT_EQ(PathFor(*provider, "AppRegF"), product + "/registry.dat");
    EXPECT_EQ(PathFor(*provider, "DefProfRt"), product + "/Profiles");
    EXPECT_TRUE(wxDirExists(product + "/Profiles"));
    EXPECT_EQ(PathFor(*provider, "ProfDefNoLoc"), PathFor(*provider, "profDef"));
    const std::string app = PathFor(*provider, "DefRt");
    EXPECT_EQ(app.substr(app.size() - 9), "/defaults");
    EXPECT_EQ(PathFor(*provider, "PrfDef"), app + "/pref");
    EXPECT_EQ(PathFor(*provider, "AChrom"), app.substr(0, app.size() - 9) + "/chrome");
    nsresult rv = NS_OK;
    EXPECT_EQ(PathFor(*provider, "NoSuchKey", &rv), "");
    EXPECT_EQ(rv, NS_ERROR_FAILURE);
    EXPECT_EQ(provider->GetFile("AppRegD", nullptr, nullptr), NS_ERROR_NULL_POINTER);

    const std::string longName(300, 'x');
    winEmbedFileLocProvider cut(longName.c_str());
    EXPECT_EQ(std::string(cut.ProductDirName()).size(), 255u);
}

TEST(Profiles, FirstRunCreatesDefaultAndWritesPreferencesOnce) {
    const std::string root = DataHome() + "/wxMozBrowserLib/Profiles";
    std::system(("rm -rf '" + DataHome() + "/wxMozBrowserLib'").c_str());
    {
        LibraryFixture lib;
        EXPECT_EQ(CurrentProfile(), "default");
        const std::string prefs = ReadFile(root + "/default/prefs.js");
        EXPECT_NE(prefs.find("user_pref(\"mfcbrowser.prefs_inited\", true);"), std::string::npos)
            << prefs;
        EXPECT_NE(prefs.find("user_pref(\"browser.startup.homepage\", \"about:blank\");"),
                  std::string::npos);
        EXPECT_NE(prefs.find("user_pref(\"font.size.variable.x-western\", 16);"),
                  std::string::npos);
        EXPECT_EQ(lib.Engine().FontVariable(), 16) << "font preferences reach the engine";
        EXPECT_EQ(lib.Engine().ProfileDirectory(), root + "/default")
            << "website data lives in the profile";
        // The user changes the home page.
        nsCOMPtr<nsIPref> pref = do_GetService<nsIPref>("@mozilla.org/preferences;1");
        pref->SetCharPref("browser.startup.homepage", "http://mine/");
        pref->SavePrefFile(nullptr);
    }
    {
        LibraryFixture lib; // second run
        nsCOMPtr<nsIProfile> profiles = do_GetService<nsIProfile>("@mozilla.org/profile/manager;1");
        PRInt32 count = 0;
        profiles->GetProfileCount(&count);
        EXPECT_EQ(count, 1) << "nothing is created on a later run";
        EXPECT_EQ(CurrentProfile(), "default");
        const std::string prefs = ReadFile(root + "/default/prefs.js");
        EXPECT_NE(prefs.find("\"http://mine/\""), std::string::npos) << "the user's change stays";
    }
}

TEST(Profiles, SwitchingAsksFirstAndClosesEveryWindow) {
    LibraryFixture lib;
    lib.CreateHosted();
    nsCOMPtr<nsIProfile> profiles = do_GetService<nsIProfile>("@mozilla.org/profile/manager;1");
    profiles->CreateNewProfile(u"second", nullptr, nullptr, false);

    static int asked = 0;
    MozillaFacade::s_confirmProfileSwitch = [] {
        ++asked;
        return false;
    };
    EXPECT_EQ(profiles->SetCurrentProfile(u"second"), NS_ERROR_ABORT) << "No vetoes the switch";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(CurrentProfile(), "default");
    EXPECT_EQ(wxHtmlCtrl::GetFrameList().size(), 1u);

    MozillaFacade::s_confirmProfileSwitch = [] {
        ++asked;
        return true;
    };
    EXPECT_EQ(profiles->SetCurrentProfile(u"second"), NS_OK);
    EXPECT_EQ(CurrentProfile(), "second");
    EXPECT_TRUE(wxHtmlCtrl::GetFrameList().empty()) << "teardown closes every window";
    LibraryFixture::PumpFor(100);
    EXPECT_EQ(lib.host.exits, 1) << "the hosted frame's end reaches the host";
    EXPECT_NE(
        ReadFile(DataHome() + "/wxMozBrowserLib/Profiles/second/prefs.js").find("prefs_inited"),
        std::string::npos)
        << "the new profile gets the defaults";
    profiles->SetCurrentProfile(u"default");
}

TEST(Preferences, FileFormatRoundTrip) {
    std::map<std::string, PrefService::Value> prefs;
    PrefService::Value b;
    b.type = PrefService::Value::Type::Bool;
    b.b = true;
    PrefService::Value i;
    i.type = PrefService::Value::Type::Int;
    i.i = -13;
    PrefService::Value s;
    s.s = "quote \" and \\ backslash";
    prefs["a.bool"] = b;
    prefs["b.int"] = i;
    prefs["c.string"] = s;
    const auto parsed = PrefService::Parse(PrefService::Serialize(prefs));
    ASSERT_EQ(parsed.size(), 3u);
    EXPECT_TRUE(parsed.at("a.bool").b);
    EXPECT_EQ(parsed.at("b.int").i, -13);
    EXPECT_EQ(parsed.at("c.string").s, s.s);
    EXPECT_TRUE(PrefService::Parse("garbage\nuser_pref(broken\n").empty());
}

TEST(Profiles, AnApplicationsOwnFolderHoldsItsBrowserData) {
    TempDir dir;
    const std::string root = dir.File("browser-data");
    wxHtmlCtrl::SetProfileRoot(root);
    {
        nsCOMPtr<winEmbedFileLocProvider> provider = new winEmbedFileLocProvider("wxMozBrowserLib");
        EXPECT_EQ(PathFor(*provider, "DefProfRt"), root);
        EXPECT_TRUE(wxDirExists(root));
    }
    {
        LibraryFixture lib;
        ASSERT_NE(HeadlessBackend::Instance(), nullptr);
        EXPECT_EQ(HeadlessBackend::Instance()->ProfileDirectory().rfind(root + "/", 0), 0u)
            << HeadlessBackend::Instance()->ProfileDirectory();
    }
    wxHtmlCtrl::SetProfileRoot("");
    LibraryFixture lib;
    nsCOMPtr<winEmbedFileLocProvider> shared = new winEmbedFileLocProvider("wxMozBrowserLib");
    EXPECT_EQ(PathFor(*shared, "DefProfRt"), DataHome() + "/wxMozBrowserLib/Profiles")
        << "a configuration that names nothing keeps the shared place";
}
