#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/runtime/engine/headless/HeadlessEngineView.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "browserlib/services/CPromptService.h"
#include "host/HostSwitches.h"
#include "navigation/DisplayManager.h"
#include "navigation/MainFrame.h"
#include "navigation/SplashWindow.h"
#include "navigation/UrlClassifier.h"
#include "navigation/VELTANavigationController.h"
#include "navigation/WindowMemory.h"
#include "server/VELTAServerController.h"
#include "tests/gui/BrowserTestSupport.h"
#include "tests/unit/TestSupport.h"
#include <wx/dialog.h>

#include <fstream>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>

namespace {
// A display that records mode changes instead of making them.
class FakeDisplay : public DisplayManager {
public:
    FakeDisplay() : DisplayManager(1024, 768) {}
    bool ChangeDisplayMode(int width, int height, bool restore) override {
        changes.push_back(restore ? wxSize(0, 0) : wxSize(width, height));
        return succeed;
    }
    wxString ModeChangeError() const override { return "no RandR here"; }
    std::vector<wxSize> changes;
    std::vector<bool> covered;
    bool succeed = true;

protected:
    wxSize RealScreenSize() const override { return wxSize(1280, 1024); }
    void CoverScreen(wxWindow*, bool on) override { covered.push_back(on); }
};

// The host's objects around a navigation controller, with the headless engine.
class NavigationFixture : public testing::Test {
protected:
    void Configure(const std::string& keys) {
        std::ofstream(dir.File("app.config.xml")) << "<c>" << keys << "</c>";
        config.SetFileName(dir.File("app.config.xml"));
        config.Load();
        nav.SetHostConfig(&config);
    }
    void SetUp() override {
        previous = UiServices::Install(std::unique_ptr<UiServices>(ui = new RecordingUiServices));
        main = new MainFrame("main", wxDefaultPosition, wxSize(800, 600), config, server, nav);
        wxTheApp->SetTopWindow(main);
        nav.SetMainFrame(main);
        auto display = std::make_unique<FakeDisplay>();
        fake = display.get();
        nav.SetDisplayManager(std::move(display));
        wxHtmlCtrl::OnInit();
    }
    void TearDown() override {
        wxHtmlCtrl::OnExit();
        main->Destroy();
        LibraryFixture::PumpFor(50);
        UiServices::Install(std::move(previous));
        HeadlessBackend::ClearPages();
    }
    HeadlessEngineView* HostedView() {
        for (HeadlessEngineView* v : HeadlessBackend::Instance()->Views())
            if (v->Parent())
                return v;
        return nullptr;
    }

    TempDir dir;
    VELTAAppConfig config;
    VELTAServerController server;
    VELTANavigationController nav;
    MainFrame* main = nullptr;
    FakeDisplay* fake = nullptr;
    RecordingUiServices* ui = nullptr;
    std::unique_ptr<UiServices> previous;
};

std::string Key(const std::string& name, const std::string& text,
                const std::string& attributes = "") {
    return "<object name=\"" + name + "\" class=\"configuration\"" + attributes + ">" + text +
           "</object>";
}
} // namespace

TEST(UrlClassifierRules, Commands) {
    using C = UrlClassifier::Command;
    EXPECT_EQ(UrlClassifier::CommandOf("velta:FullScreen", "velta:"), C::Fullscreen);
    EXPECT_EQ(UrlClassifier::CommandOf("VELTA:windowmodeNow", "velta:"), C::Windowmode);
    EXPECT_EQ(UrlClassifier::CommandOf("velta:quit?x=1", "velta:"), C::Quit);
    EXPECT_EQ(UrlClassifier::CommandOf("velta:print", "velta:"), C::Unknown);
    EXPECT_EQ(UrlClassifier::CommandOf("http://x/", "velta:"), C::None);
    EXPECT_FALSE(UrlClassifier::IsCommand("velta:quit", "Velta:"))
        << "a prefix with capitals never matches";
    EXPECT_FALSE(UrlClassifier::IsCommand("http://app/", "")) << "an empty prefix names no command";
}

TEST(UrlClassifierRules, ExternalAddresses) {
    const wxString start = "http://localhost:8080/app/";
    EXPECT_FALSE(UrlClassifier::IsExternalCandidate("HTTP://LOCALHOST:8080/APP/", start));
    EXPECT_FALSE(UrlClassifier::IsExternalCandidate("about:blank", start));
    EXPECT_TRUE(UrlClassifier::IsExternalCandidate("https://example.org/", start));

    EXPECT_EQ(UrlClassifier::WithoutDefaultPort("http://localhost:80/app"), "http://localhost/app");
    EXPECT_EQ(UrlClassifier::WithoutDefaultPort("HTTPS://host:443"), "HTTPS://host");
    EXPECT_EQ(UrlClassifier::WithoutDefaultPort("http://host:8080/x:80"), "http://host:8080/x:80");
    EXPECT_EQ(UrlClassifier::WithoutDefaultPort("https://host:80/"), "https://host:80/");

    const wxArrayString tokens = UrlClassifier::RelativeExternalTokens(";help/;;docs/;");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0], "");
    EXPECT_EQ(tokens[2], "");
    EXPECT_EQ(tokens[3], "docs/");
    EXPECT_EQ(UrlClassifier::MatchingRelativeExternal(start, "http://localhost:8080/app/Docs/x",
                                                      "help/;docs/"),
              start + "docs/");
    EXPECT_EQ(UrlClassifier::MatchingRelativeExternal(start, "http://localhost:8080/app/helpdesk",
                                                      "help/;docs/"),
              "");
    EXPECT_EQ(UrlClassifier::MatchingRelativeExternal(start, "http://localhost:8080/app/helpdesk",
                                                      "help;docs/"),
              start + "help");
    EXPECT_EQ(
        UrlClassifier::MatchingRelativeExternal(start, "http://localhost:8080/app/x", "a/;;b/"),
        start)
        << "an empty token makes everything below the start URL external";
}

TEST(WindowFitting, PopUpsAreFittedIntoTheFullScreenSize) {
    const wxSize screen(1024, 768);
    EXPECT_EQ(DisplayManager::FittedRect(wxRect(100, 50, 1200, 900), screen),
              wxRect(100, 50, 1024, 768));
    EXPECT_EQ(DisplayManager::FittedRect(wxRect(1100, 200, 300, 200), screen),
              wxRect(724, 200, 300, 200));
    EXPECT_EQ(DisplayManager::FittedRect(wxRect(900, 100, 300, 200), screen),
              wxRect(900, 100, 300, 200))
        << "overlapping the right edge but starting inside: not moved";
    EXPECT_EQ(DisplayManager::FittedRect(wxRect(200, 800, 300, 200), screen),
              wxRect(200, 568, 300, 200));
    EXPECT_EQ(DisplayManager::FittedRect(wxRect(-50, -20, 300, 200), screen),
              wxRect(0, 0, 300, 200));
}

TEST(WindowMemoryRules, ThePlaceComesBackOnTheScreensPresent) {
    const std::vector<wxRect> one = {wxRect(0, 0, 1280, 1000)};
    const std::vector<wxRect> two = {wxRect(0, 0, 1280, 1000), wxRect(1280, 0, 1920, 1080)};
    struct Case {
        wxRect saved;
        const std::vector<wxRect>* screens;
        wxRect expected;
        const char* why;
    };
    const Case cases[] = {
        {wxRect(100, 80, 900, 600), &one, wxRect(100, 80, 900, 600), "inside: as it was"},
        {wxRect(1500, 100, 900, 600), &two, wxRect(1500, 100, 900, 600), "on the second screen"},
        {wxRect(1500, 100, 900, 600), &one, wxRect(190, 200, 900, 600),
         "the second screen is gone: the middle of the first"},
        {wxRect(1000, 900, 900, 600), &one, wxRect(380, 400, 900, 600),
         "mostly off the edge but grabbable: moved inside"},
        {wxRect(1240, 10, 900, 600), &one, wxRect(190, 200, 900, 600),
         "40 px on the screen cannot be grabbed"},
        {wxRect(-50, -30, 2000, 1400), &one, wxRect(0, 0, 1280, 1000), "larger: cut to fit"},
        {wxRect(1200, 50, 900, 600), &two, wxRect(1280, 50, 900, 600),
         "on the screen it overlaps most"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowMemory::Clamp(c.saved, *c.screens), c.expected) << c.why;
}

TEST(WindowMemoryRules, TheFileRoundTripsAndBrokenOnesAreNone) {
    WindowMemory::State state;
    state.valid = true;
    state.rect = wxRect(-20, 30, 800, 600);
    state.maximized = true;
    state.zoomPercent = 125;
    const WindowMemory::State back = WindowMemory::Parse(WindowMemory::Format(state));
    EXPECT_TRUE(back.valid);
    EXPECT_EQ(back.rect, state.rect);
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.zoomPercent, 125);

    EXPECT_FALSE(WindowMemory::Parse("").valid);
    EXPECT_FALSE(WindowMemory::Parse("x=1\ny=2\nwidth=800\n").valid) << "no height";
    EXPECT_FALSE(WindowMemory::Parse("x=1\ny=2\nwidth=0\nheight=600").valid);
    EXPECT_FALSE(WindowMemory::Parse("x=a\ny=2\nwidth=800\nheight=600").valid);
    EXPECT_EQ(WindowMemory::Parse("x=1\ny=2\nwidth=800\nheight=600\nzoom=5000").zoomPercent, 300);

    TempDir dir;
    const wxString file = WindowMemory::FileIn(dir.path());
    EXPECT_FALSE(WindowMemory::Load(file).valid) << "nothing kept yet";
    ASSERT_TRUE(WindowMemory::Save(file, state));
    EXPECT_EQ(WindowMemory::Load(file).rect, state.rect);
    EXPECT_FALSE(wxFileName::FileExists(file + ".tmp"));
    EXPECT_FALSE(WindowMemory::Save(dir.File("missing/folder/window-state"), state));
}

TEST_F(NavigationFixture, FilterTellsCommandsAndExternalAddresses) {
    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/", " timeout=\"5\"") +
              Key("CommandPrefix", "velta:") + Key("RelativeExternalUrls", "docs/"));
    config.SetServerPort(8470);
    EXPECT_TRUE(nav.FilterUrl("velta:nothing")) << "any command is aborted";
    EXPECT_FALSE(nav.FilterUrl("http://localhost:8470/page.html"));
    EXPECT_FALSE(nav.FilterUrl("HTTP://LOCALHOST:8470/"));
    EXPECT_TRUE(ui->opened.empty());
    EXPECT_TRUE(nav.FilterUrl("https://www.example.org/x"));
    EXPECT_TRUE(nav.FilterUrl("http://localhost:8470/Docs/manual.html"));
    ASSERT_EQ(ui->opened.size(), 2u);
    EXPECT_EQ(ui->opened[0], "https://www.example.org/x");
    EXPECT_EQ(ui->opened[1], "http://localhost:8470/Docs/manual.html");
    EXPECT_FALSE(nav.FilterUrl("about:blank"));
    EXPECT_FALSE(nav.FilterUrl("javascript:fetch('/shutdown')"));
    config.SetServerPort(80); // the engine reports the start page without its default port
    EXPECT_FALSE(nav.FilterUrl("http://localhost/"));
    EXPECT_FALSE(nav.FilterUrl("http://localhost/page.html"));
    EXPECT_EQ(ui->opened.size(), 2u);
    config.SetServerPort(8470);

    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/",
                  " useexternalbrowserforexternalurls=\"false\"") +
              Key("CommandPrefix", ""));
    EXPECT_FALSE(nav.FilterUrl("https://www.example.org/x")) << "loads inside when so configured";
    EXPECT_EQ(ui->opened.size(), 2u);
    EXPECT_TRUE(nav.FilterUrl("velta:quit"))
        << "no prefix configured: no command, and a scheme with nothing to show";
    EXPECT_EQ(ui->opened.size(), 2u) << "not handed out when external pages stay inside";

    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/") +
              Key("CommandPrefix", "http://cmd:"));
    EXPECT_TRUE(nav.FilterUrl("http://cmd:quit/"));
    EXPECT_EQ(ui->opened.back(), "http://cmd:quit/") << "both a command and external";
}

TEST_F(NavigationFixture, QuitCommandClosesTheMainFrameAfterTheFilterReturns) {
    Configure(Key("StartUrl", "http://localhost:8470/") + Key("CommandPrefix", "velta:"));
    EXPECT_TRUE(nav.FilterUrl("velta:QUIT"));
    EXPECT_FALSE(main->StopTimer().IsRunning()) << "not inside the filter";
    ASSERT_TRUE(LibraryFixture::Pump([&] { return main->StopTimer().IsRunning(); }, 1000));
}

TEST_F(NavigationFixture, SplashThenWebApplicationThenShutdownCommand) {
    dir.Write("splash.html", "<html><body>starting</body></html>");
    HeadlessBackend::SetPage("http://localhost:8470/", HeadlessPage{"Demo"});
    Configure(Key("SplashScreenStart", dir.File("splash.html")) +
              Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/") +
              Key("AppCommandShutdown", "javascript:fetch('/shutdown')") +
              Key("SplashWindowRect", "", " x=\"5000\" y=\"5000\" dx=\"480\" dy=\"300\""));
    config.SetServerPort(8470);
    LogCapture log;
    nav.OnServerStarting();
    ASSERT_NE(nav.GetSplash(), nullptr);
    EXPECT_TRUE(nav.GetSplash()->IsShown());
    EXPECT_EQ(nav.GetSplash()->GetSize(), wxSize(480, 300));
    EXPECT_EQ(nav.GetSplash()->GetTitle(), "Programm-Start");
    EXPECT_FALSE(nav.GetSplash()->HasFlag(wxCAPTION)) << "no caption the user could move or close";
    EXPECT_TRUE(log.Contains("NavigationController::Start with splash url: file://"));

    nav.OnServerStarted(true);
    EXPECT_EQ(nav.GetSplash(), nullptr) << "the splash goes once the application shows";
    ASSERT_NE(nav.GetControl(), nullptr);
    ASSERT_TRUE(
        LibraryFixture::Pump([&] { return nav.GetControl()->GetFrame()->GetTitle() == "Demo"; }));
    EXPECT_TRUE(log.Contains(
        "NavigationController::StartWebApp with startUrl url: http://localhost:8470/"));
    EXPECT_EQ(fake->changes.size(), 0u) << "window mode: nothing to restore";

    nav.StartWebApp();
    EXPECT_TRUE(log.Contains("Mozilla control already exists. Did you call start twice?"));
    EXPECT_EQ(wxHtmlCtrl::GetFrameList().size(), 1u);

    nav.OnServerStopping();
    HeadlessEngineView* view = HostedView();
    ASSERT_NE(view, nullptr);
    ASSERT_FALSE(view->Scripts().empty());
    EXPECT_EQ(view->Scripts().back(), "fetch('/shutdown')")
        << "the shutdown command runs in the page";

    nav.OnServerStopped(true);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return nav.GetControl() == nullptr; }));
    EXPECT_TRUE(log.Contains("NavigationController::OnExit: m_MozillaHtmlCtrl gone."));
    EXPECT_TRUE(main->StopTimer().IsRunning()) << "the end of the browser closes the main frame";
}

TEST_F(NavigationFixture, EmptyUrlsGiveNoSplashAndABlankPage) {
    Configure(Key("SplashWindowRect", "", " dx=\"800\" dy=\"0\""));
    LogCapture log;
    nav.OnServerStarting();
    EXPECT_EQ(nav.GetSplash(), nullptr);
    EXPECT_TRUE(
        log.Contains("NavigationController::Start with empty splash url -> no splash screen"));
    EXPECT_TRUE(nav.StartWebApp());
    EXPECT_TRUE(log.Contains(
        "NavigationController::StartWebApp with empty startUrl url -> use about:blank"));
    EXPECT_FALSE(nav.Stop() && false);
}

TEST_F(NavigationFixture, SplashSizeFallsBackWithoutAUsableRectangle) {
    dir.Write("splash.html", "<html><body>x</body></html>");
    Configure(Key("SplashScreenStart", dir.File("splash.html")) +
              Key("SplashWindowRect", "", " dx=\"800\" dy=\"0\""));
    nav.OnServerStarting();
    ASSERT_NE(nav.GetSplash(), nullptr);
    EXPECT_EQ(nav.GetSplash()->GetSize(), wxSize(600, 400));
    nav.OnServerStopped(true);
    EXPECT_EQ(nav.GetSplash(), nullptr);
}

TEST_F(NavigationFixture, FullScreenModeSwitchesTheDisplayAndKeepsOtherWindowsOnTop) {
    Configure(Key("StartUrl", "http://app/") + Key("CommandPrefix", "velta:") +
              Key("MainWindowRect", "", " x=\"10\" y=\"20\" dx=\"640\" dy=\"480\""));
    nav.FilterUrl("velta:fullscreen");
    EXPECT_TRUE(fake->changes.empty()) << "without a browser nothing happens";
    ASSERT_TRUE(nav.StartWebApp());
    MozillaFacade* facade = MozillaFacade::GetFacade();
    BrowserFrameOptions params;
    params.x = 1100;
    params.y = 100;
    params.width = 1200;
    params.height = 300;
    CBrowserFrame* popup = facade->CreateNewBrowserFrame(main, ZeroHost::Get(), params);

    EXPECT_TRUE(nav.FilterUrl("velta:FullScreen"));
    ASSERT_EQ(fake->changes.size(), 1u);
    EXPECT_EQ(fake->changes[0], wxSize(1024, 768));
    EXPECT_EQ(fake->covered, std::vector<bool>{true}) << "the frame covers the screen";
    EXPECT_TRUE(config.IsFullscreen());
    EXPECT_EQ(popup->GetRect(), wxRect(0, 100, 1024, 300)) << "shrunk and moved inside the screen";
    EXPECT_TRUE(popup->HasFlag(wxSTAY_ON_TOP));

    nav.FilterUrl("velta:fullscreen");
    EXPECT_EQ(fake->changes.size(), 1u) << "no second display change";
    EXPECT_EQ(fake->covered.size(), 1u);

    nav.FilterUrl("velta:windowmode");
    ASSERT_EQ(fake->changes.size(), 2u);
    EXPECT_EQ(fake->changes[1], wxSize(0, 0)) << "restored";
    EXPECT_EQ(fake->covered, (std::vector<bool>{true, false}));
    EXPECT_FALSE(config.IsFullscreen());
    EXPECT_FALSE(popup->HasFlag(wxSTAY_ON_TOP));
    EXPECT_EQ(nav.GetControl()->GetFrame()->GetPosition(), wxPoint(10, 20));
}

TEST_F(NavigationFixture, FullScreenWithoutAModeChangeCoversTheScreenAsItIs) {
    Configure(Key("StartUrl", "http://app/") + Key("CommandPrefix", "velta:"));
    ASSERT_TRUE(nav.StartWebApp());
    BrowserFrameOptions params;
    params.x = 1100;
    params.y = 100;
    params.width = 300;
    params.height = 300;
    CBrowserFrame* popup =
        MozillaFacade::GetFacade()->CreateNewBrowserFrame(main, ZeroHost::Get(), params);

    // A session that cannot switch (Wayland): a warning, once, and full screen all the same.
    fake->succeed = false;
    LogCapture log;
    nav.ToggleFullScreenMode();
    EXPECT_TRUE(nav.GetDisplayManager()->IsFullScreen());
    EXPECT_TRUE(config.IsFullscreen());
    EXPECT_EQ(fake->covered, std::vector<bool>{true});
    EXPECT_EQ(popup->GetPosition(), wxPoint(1100, 100)) << "fitted into the real 1280x1024 screen";
    nav.ToggleFullScreenMode();
    EXPECT_EQ(fake->changes.size(), 1u) << "nothing to restore";
    nav.ToggleFullScreenMode();
    nav.ToggleFullScreenMode();
    EXPECT_EQ(fake->covered, (std::vector<bool>{true, false, true, false}));
    int warnings = 0;
    for (const auto& [level, text] : log.entries) {
        EXPECT_NE(level, wxLOG_Error) << text;
        if (level == wxLOG_Warning && text.Contains("keeps the current resolution: no RandR here"))
            ++warnings;
    }
    EXPECT_EQ(warnings, 1) << "said once, not at every switch";

    // Asked to keep the resolution: the display is never touched.
    Configure(Key("StartUrl", "http://app/") + Key("CommandPrefix", "velta:") +
              Key("MainWindowMode", "", " fullscreen=\"false\" keepresolution=\"true\""));
    fake->succeed = true;
    fake->changes.clear();
    nav.FilterUrl("velta:fullscreen");
    nav.FilterUrl("velta:windowmode");
    EXPECT_TRUE(fake->changes.empty());
    EXPECT_EQ(fake->covered.size(), 6u);
}

TEST_F(NavigationFixture, NoServerStartsTheApplicationDirectly) {
    Configure(Key("StartUrl", "http://app/"));
    HostSwitches::Set("no_server");
    wxCommandEvent start(wxEVT_MENU, MainFrame::ID_START);
    main->GetEventHandler()->ProcessEvent(start);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return nav.GetControl() != nullptr; }, 2000));
    EXPECT_EQ(server.GetProcess(), nullptr) << "no server process";
    HostSwitches::ResetAll();
}

TEST_F(NavigationFixture, FramesInsideThePageNeitherCommandNorLaunch) {
    HeadlessPage page("App");
    page.subframes = {"velta:quit", "http://ads.example/1", "http://ads.example/2",
                      "mailto:x@example.org", "http://localhost:8470/own-frame"};
    HeadlessBackend::SetPage("http://localhost:8470/", page);
    HeadlessBackend::SetPage("http://localhost:8470/write", HeadlessPage("Write"));
    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/") +
              Key("CommandPrefix", "velta:"));
    config.SetServerPort(8470);
    LogCapture log;
    nav.OnServerStarted(true);
    ASSERT_TRUE(
        LibraryFixture::Pump([&] { return nav.GetControl()->GetFrame()->GetTitle() == "App"; }));
    LibraryFixture::PumpFor(100);
    EXPECT_FALSE(main->StopTimer().IsRunning()) << "a frame's quit is refused";
    EXPECT_TRUE(ui->opened.empty()) << "frames launch nothing";
    EXPECT_TRUE(log.Contains("refused velta:quit: a command from a frame inside the page"));
    EXPECT_TRUE(log.Contains("refused http://ads.example/1: an external page is kept out"));
    HeadlessEngineView* view = HostedView();
    ASSERT_NE(view, nullptr);

    // The user's own link for another program goes to the desktop; the page stays.
    HeadlessBackend::Instance()->SetUserGesture(true);
    view->LoadUrl("mailto:team@example.org?subject=Hello world");
    ASSERT_TRUE(LibraryFixture::Pump([&] { return !ui->opened.empty(); }));
    EXPECT_EQ(ui->opened[0], "mailto:team@example.org?subject=Hello%20world");
    EXPECT_EQ(nav.GetControl()->GetFrame()->GetTitle(), "App");
    view->LoadUrl("velta:quit");
    ASSERT_TRUE(LibraryFixture::Pump([&] { return main->StopTimer().IsRunning(); }, 2000))
        << "the application's own page commands the host";
    HeadlessBackend::Instance()->SetUserGesture(false);
}

TEST_F(NavigationFixture, ClosingTheApplicationAsksEveryWindowsPage) {
    HeadlessPage page("Tree");
    page.asksBeforeUnload = true;
    page.opensWindow = "http://localhost:8470/notebook";
    HeadlessBackend::SetPage("http://localhost:8470/", page);
    HeadlessPage notebook("work - Notebook");
    notebook.asksBeforeUnload = true;
    HeadlessBackend::SetPage("http://localhost:8470/notebook", notebook);
    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/") + Key("UILanguage", "en"));
    config.SetServerPort(8470);
    nav.OnServerStarted(true);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return wxHtmlCtrl::GetFrameList().size() == 2; }));
    wxFrame* app = nav.GetControl()->GetFrame();
    ASSERT_TRUE(LibraryFixture::Pump([&] { return app->GetTitle() == "Tree"; }));
    static std::vector<int> s_answers;
    static std::vector<wxString> s_texts;
    auto* previous = CPromptService::s_messageBox;
    CPromptService::s_messageBox = [](const wxString& text, const wxString&, long, wxWindow*) {
        s_texts.push_back(text);
        const int answer = s_answers.empty() ? wxYES : s_answers.front();
        if (!s_answers.empty())
            s_answers.erase(s_answers.begin());
        return answer;
    };
    // The application's window closed: the pop-up's page is asked first, by
    // name; the user stays there, and nothing goes.
    s_answers = {wxNO};
    app->Close();
    ASSERT_TRUE(LibraryFixture::Pump([&] { return s_texts.size() == 1; }));
    EXPECT_TRUE(s_texts[0].StartsWith(L"\u201Cwork - Notebook\u201D")) << s_texts[0];
    LibraryFixture::PumpFor(200);
    EXPECT_EQ(s_texts.size(), 1u) << "one No ends the round";
    EXPECT_FALSE(main->StopTimer().IsRunning());
    EXPECT_EQ(wxHtmlCtrl::GetFrameList().size(), 2u) << "both windows stay";

    // The quit command: both pages agree, and the stop begins.
    s_answers = {wxYES, wxYES};
    wxCloseEvent quit(wxEVT_CLOSE_WINDOW, 0);
    quit.SetEventObject(main);
    main->GetEventHandler()->ProcessEvent(quit);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return main->StopTimer().IsRunning(); }, 3000));
    ASSERT_EQ(s_texts.size(), 3u) << "each page asked again after the No";
    EXPECT_TRUE(s_texts[1].StartsWith(L"\u201Cwork - Notebook\u201D")) << s_texts[1];
    EXPECT_TRUE(s_texts[2].StartsWith(L"\u201CTree\u201D")) << s_texts[2];
    CPromptService::s_messageBox = previous;
    s_texts.clear();
}

TEST_F(NavigationFixture, UnsavedWorkIsAskedAboutAndStayKeepsEverything) {
    HeadlessPage page("Notebook");
    page.asksBeforeUnload = true;
    HeadlessBackend::SetPage("http://localhost:8470/", page);
    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/") + Key("UILanguage", "de"));
    config.SetServerPort(8470);
    nav.OnServerStarted(true);
    ASSERT_TRUE(LibraryFixture::Pump(
        [&] { return nav.GetControl()->GetFrame()->GetTitle() == "Notebook"; }));
    static int s_answer = wxNO;
    static wxString s_text;
    static int s_asked = 0;
    auto* previous = CPromptService::s_messageBox;
    CPromptService::s_messageBox = [](const wxString& text, const wxString&, long, wxWindow*) {
        s_text = text;
        ++s_asked;
        return s_answer;
    };
    // The quit command's close: the user stays.
    wxCloseEvent quit(wxEVT_CLOSE_WINDOW, 0);
    quit.SetEventObject(main);
    main->GetEventHandler()->ProcessEvent(quit);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return s_asked == 1; }));
    EXPECT_TRUE(s_text.StartsWith(L"\u201CNotebook\u201D\n\nDiese Seite möchte wissen")) << s_text;
    LibraryFixture::PumpFor(100);
    EXPECT_FALSE(main->StopTimer().IsRunning()) << "stay: no stop sequence";
    EXPECT_NE(nav.GetControl(), nullptr) << "and the window stays";

    // The window's close button: the user leaves.
    s_answer = wxYES;
    nav.GetControl()->GetFrame()->Close();
    ASSERT_TRUE(LibraryFixture::Pump([&] { return s_asked == 2; }));
    ASSERT_TRUE(LibraryFixture::Pump([&] { return nav.GetControl() == nullptr; }, 3000))
        << "leave: the frame goes";

    // A close from outside (a signal) asks no one.
    main->Close(true);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return main->StopTimer().IsRunning(); }, 1000));
    EXPECT_EQ(s_asked, 2);
    CPromptService::s_messageBox = previous;
}

namespace {
int (*previousShowModal)(wxDialog*) = nullptr;
}

TEST_F(NavigationFixture, AQuitEndsOpenPageDialogsAndRefusesNewOnes) {
    Configure(Key("StartUrl", "http://localhost:VELTA_SERVER_PORT/"));
    config.SetServerPort(8470);
    nav.OnServerStarted(true);
    ASSERT_TRUE(LibraryFixture::Pump([&] { return HostedView() != nullptr; }));
    nsCOMPtr<nsIPromptService> prompts =
        do_GetService<nsIPromptService>("@mozilla.org/embedcomp/prompt-service;1");
    ASSERT_TRUE(prompts);
    auto* previous = CPromptService::s_showModal;
    // The page's prompt is open when the host is told to quit.
    CPromptService::s_showModal = [](wxDialog* dialog) {
        wxTheApp->CallAfter([] { wxHtmlCtrl::EndPageDialogs(); });
        return previousShowModal(dialog);
    };
    previousShowModal = previous;
    PRUnichar* value = nsMemory::CloneUnicode(u"");
    PRBool check = false, result = true;
    prompts->Prompt(nullptr, u"Page", u"Name?", &value, nullptr, &check, &result);
    nsMemory::Free(value);
    EXPECT_FALSE(result) << "ended as cancelled";
    result = true;
    prompts->Confirm(nullptr, u"Page", u"Again?", &result);
    EXPECT_FALSE(result) << "the next one is never shown";
    CPromptService::s_showModal = previous;

    // Every stop ends them: a quit, a signal.
    CPromptService::AllowDialogs();
    main->Close(true);
    EXPECT_TRUE(CPromptService::RefusesDialogs());
    main->StopTimer().Stop(); // the test's main frame stays
    CPromptService::AllowDialogs();
}
