#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/frame/BrowserKeys.h"
#include "browserlib/frame/CBrowserImpl.h"
#include "browserlib/frame/CBrowserView.h"
#include "browserlib/frame/WindowPlacement.h"
#include "browserlib/runtime/EmbeddingRuntime.h"
#include "browserlib/runtime/engine/ProxyPlan.h"
#include "browserlib/runtime/engine/RendererCrashes.h"
#include "browserlib/runtime/engine/headless/HeadlessEngineView.h"
#include "browserlib/services/CPromptService.h"
#include "browserlib/services/DownloadFolder.h"
#include "browserlib/services/HelperAppLauncherDialog.h"
#include "tests/gui/BrowserTestSupport.h"
#include "tests/unit/TestSupport.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/timer.h>

namespace {
HeadlessEngineView* ViewOf(CBrowserFrame* frame, HeadlessBackend& engine) {
    for (HeadlessEngineView* view : engine.Views())
        if (view->Parent() == static_cast<wxWindow*>(frame->GetView()))
            return view;
    return nullptr;
}

size_t FrameCount() {
    return wxHtmlCtrl::GetFrameList().size();
}
} // namespace

TEST(BrowserLibraryStartup, FailedRuntimeStartIsReportedAndNotUndone) {
    ASSERT_FALSE(EmbeddingRuntime::IsUp());
    EXPECT_FALSE(wxHtmlCtrl::OnExit()) << "no library to stop";
    EmbeddingRuntime::FailNextStart(true);
    LogCapture log;
    EXPECT_FALSE(wxHtmlCtrl::OnInit());
    EXPECT_TRUE(log.Contains("NS_InitEmbedding (windows) failed"));
    EXPECT_TRUE(log.Contains("theFacade->OnInit failed"));
    EXPECT_FALSE(log.Contains("OverrideComponents failed!"));
    EXPECT_EQ(EmbeddingRuntime::Depth(), 0) << "nothing to stop after a start that failed";
    EXPECT_EQ(MozillaFacade::Existing(), nullptr);

    ASSERT_TRUE(wxHtmlCtrl::OnInit());
    EXPECT_TRUE(wxHtmlCtrl::OnInit()) << "a second start finds the library up";
    EXPECT_EQ(EmbeddingRuntime::Depth(), 1);
    EXPECT_TRUE(wxHtmlCtrl::OnExit());
    EXPECT_FALSE(EmbeddingRuntime::IsUp());
}

TEST(BrowserLibrary, HostedFrameTakesItsGeometryAndOptionsFromTheConfiguration) {
    LibraryFixture lib;
    CBrowserFrame* frame =
        lib.CreateHosted("<object name=\"MainWindowRect\" class=\"configuration\" x=\"30\" "
                         "y=\"40\" dx=\"640\" dy=\"480\"/>"
                         "<object name=\"Resize\" class=\"configuration\" enable=\"false\" "
                         "center=\"true\" scrollbar=\"true\"/>"
                         "<object name=\"BrowserWindowRect\" class=\"configuration\" x=\"0\" "
                         "y=\"0\" dx=\"800\" dy=\"600\"/>");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(lib.host.inits, 1);
    EXPECT_TRUE(frame->IsHosted());
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetName(), "");
    EXPECT_FALSE(frame->Options().resizable);
    EXPECT_FALSE(frame->Options().sizebrowser)
        << "the application configuration never sizes the browser";
    EXPECT_TRUE(frame->Options().center);
    EXPECT_FALSE(frame->HasFlag(wxMAXIMIZE_BOX)) << "the hosted frame never has a maximise box";
    EXPECT_FALSE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_EQ(frame->GetSize(), wxSize(640, 480));
    // Scroll bars from the browser rectangle: 800 / 32 and 600 / 32 units.
    int ux = 0, uy = 0;
    frame->GetView()->GetVirtualSize(&ux, &uy);
    EXPECT_EQ(ux, 25 * 32);
    EXPECT_EQ(uy, 18 * 32);
    EXPECT_EQ(FrameCount(), 1u);
}

TEST(BrowserLibrary, NullConfigurationGivesDefaultGeometryAndAResizableFrame) {
    LibraryFixture lib;
    wxHtmlCtrl* control =
        wxHtmlCtrl::createHostedBrowser(wxTheApp, lib.main, "plain", nullptr, &lib.host);
    ASSERT_NE(control, nullptr);
    auto* frame = dynamic_cast<CBrowserFrame*>(control);
    EXPECT_TRUE(frame->Options().resizable);
    EXPECT_TRUE(frame->Options().HasDefaultGeometry());
    EXPECT_TRUE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_EQ(control->GetName(), "plain");
    EXPECT_EQ(control->GetFrame(), frame);
}

TEST(BrowserLibrary, EveryNavigationPassesTheFilterAndItsVetoHolds) {
    LibraryFixture lib;
    lib.host.vetoes.push_back("blocked");
    CBrowserFrame* frame = lib.CreateHosted();
    HeadlessBackend::SetPage("http://app/start", HeadlessPage{"Start page"});
    frame->LoadURL("http://app/start");
    ASSERT_TRUE(lib.Pump([&] { return !lib.host.completed.empty(); }));
    EXPECT_EQ(lib.host.filtered.front(), "http://app/start")
        << "the very first navigation is asked too";
    EXPECT_EQ(lib.host.before.front(), "http://app/start");
    EXPECT_EQ(frame->GetTitle(), "Start page");
    EXPECT_EQ(frame->Options().url, "http://app/start")
        << "the first address becomes the home address";

    frame->LoadURL("http://app/blocked");
    LibraryFixture::PumpFor(100);
    EXPECT_EQ(lib.host.filtered.back(), "http://app/blocked");
    EXPECT_EQ(lib.host.completed.size(), 1u) << "a vetoed address is never loaded";
    EXPECT_EQ(ViewOf(frame, lib.Engine())->Url(), "http://app/start");
}

TEST(BrowserLibrary, PageWindowsAreRegisteredShownOnlyWhenTheirFirstAddressPasses) {
    LibraryFixture lib;
    lib.host.vetoes.push_back("forbidden");
    CBrowserFrame* hosted = lib.CreateHosted();
    HeadlessPage opener{"Opener"};
    opener.opensWindow = "http://app/popup";
    opener.openFeatures.hasSize = true;
    opener.openFeatures.width = 420;
    opener.openFeatures.height = 310;
    opener.openFeatures.resizable = false;
    HeadlessBackend::SetPage("http://app/opener", opener);
    HeadlessBackend::SetPage("http://app/popup", HeadlessPage{"Popup"});
    hosted->LoadURL("http://app/opener");
    ASSERT_TRUE(lib.Pump([] { return FrameCount() == 2; }));
    auto* popup = dynamic_cast<CBrowserFrame*>(wxHtmlCtrl::GetFrameList().back());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetName(), "New window 0");
    EXPECT_EQ(popup->Host(), static_cast<IMozillaHost*>(&lib.host))
        << "windows inherit the hosted frame's host";
    ASSERT_TRUE(lib.Pump([&] { return popup->GetTitle() == "Popup"; }));
    EXPECT_TRUE(popup->IsShown());
    EXPECT_EQ(popup->GetSize(), wxSize(420, 310)) << "the requested size becomes the frame size";
    EXPECT_FALSE(popup->HasFlag(wxMAXIMIZE_BOX)) << "not resizable: no maximise box";
    EXPECT_NE(ViewOf(popup, lib.Engine())->Opener(), nullptr) << "related to its opener";

    // A window whose first address the host takes over is destroyed unseen.
    HeadlessPage sneaky{"Sneaky"};
    sneaky.opensWindow = "http://app/forbidden";
    HeadlessBackend::SetPage("http://app/sneaky", sneaky);
    hosted->LoadURL("http://app/sneaky");
    ASSERT_TRUE(lib.Pump([&] {
        return !lib.host.filtered.empty() && lib.host.filtered.back() == "http://app/forbidden";
    }));
    ASSERT_TRUE(lib.Pump([] { return FrameCount() == 2; }));
    EXPECT_EQ(lib.host.exits, 0) << "only the hosted frame reports its end";
}

TEST(BrowserLibrary, AWindowClosedByItsPageIsDestroyedOutsideTheEngineCallback) {
    LibraryFixture lib;
    CBrowserFrame* hosted = lib.CreateHosted();
    HeadlessPage opener{"Opener"};
    opener.opensWindow = "http://app/closing";
    HeadlessPage closing{"Closing"};
    closing.closesSelf = true;
    HeadlessBackend::SetPage("http://app/opener", opener);
    HeadlessBackend::SetPage("http://app/closing", closing);
    hosted->LoadURL("http://app/opener");
    ASSERT_TRUE(lib.Pump([] { return FrameCount() == 2; }));
    ASSERT_TRUE(lib.Pump([] { return FrameCount() == 1; }));
    EXPECT_EQ(wxHtmlCtrl::GetFrameList().front(), static_cast<wxObject*>(hosted));
}

TEST(BrowserLibrary, ChromeWindowsBeforeAnyHostedFrameGetTheDoNothingHost) {
    LibraryFixture lib;
    MozillaFacade* facade = MozillaFacade::GetFacade();
    nsCOMPtr<nsIWebBrowserChrome> first, second;
    ASSERT_EQ(
        facade->CreateChromeWindow(nullptr, nsIWebBrowserChrome::CHROME_ALL, getter_AddRefs(first)),
        NS_OK);
    ASSERT_EQ(facade->CreateChromeWindow(nullptr, 0, getter_AddRefs(second)), NS_OK);
    ASSERT_TRUE(first && second);
    ASSERT_EQ(FrameCount(), 2u);
    for (wxObject* entry : wxHtmlCtrl::GetFrameList()) {
        auto* frame = dynamic_cast<CBrowserFrame*>(entry);
        EXPECT_EQ(frame->GetName(), "New window 0");
        EXPECT_EQ(frame->Host(), static_cast<IMozillaHost*>(ZeroHost::Get()));
        EXPECT_FALSE(frame->IsShown()) << "shown only once a first address passes";
    }
    auto* resizable = dynamic_cast<CBrowserFrame*>(wxHtmlCtrl::GetFrameList().front());
    EXPECT_TRUE(resizable->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_EQ(facade->CreateChromeWindow(nullptr, 0, nullptr), NS_ERROR_NULL_POINTER);
    EXPECT_EQ(facade->FindWindowByHwnd(static_cast<wxWindow*>(lib.main)), nullptr);
    EXPECT_EQ(facade->FindWindowByHwnd(resizable->NativeHandle()), resizable);
}

TEST(BrowserLibrary, ShutdownDestroysEveryFrameWhileHoldingTheLock) {
    auto lib = std::make_unique<LibraryFixture>();
    lib->CreateHosted();
    MozillaFacade* facade = MozillaFacade::GetFacade();
    nsCOMPtr<nsIWebBrowserChrome> a, b;
    facade->CreateChromeWindow(nullptr, 0, getter_AddRefs(a));
    facade->CreateChromeWindow(nullptr, 0, getter_AddRefs(b));
    ASSERT_EQ(FrameCount(), 3u);
    a = nullptr;
    b = nullptr;
    EXPECT_TRUE(wxHtmlCtrl::OnExit());
    EXPECT_EQ(MozillaFacade::Existing(), nullptr);
    LibraryFixture::PumpFor(100); // the frames go at idle time
    EXPECT_EQ(lib->host.exits, 1);
    EXPECT_FALSE(EmbeddingRuntime::IsUp());
}

TEST(BrowserLibrary, TempDirectoryFallsBackToTheWorkingDirectory) {
    LibraryFixture lib;
    TempDir cwd;
    const wxString previous = wxGetCwd();
    wxSetWorkingDirectory(cwd.path());
    CBrowserFrame* frame = lib.CreateHosted(
        "<object name=\"TempDirectory\" class=\"configuration\">/no/such/dir</object>");
    wxString directory;
    EXPECT_TRUE(MozillaFacade::GetFacade()->GetTempDirectory(directory));
    EXPECT_EQ(directory, cwd.path() + "/MozBrowserLibTemp");
    EXPECT_TRUE(wxDirExists(directory));
    EXPECT_TRUE(frame->SetHTML("<p>x</p>", nullptr));
    EXPECT_EQ(frame->GetDocumentContent(), "");
    wxSetWorkingDirectory(previous);
}

TEST(BrowserGeometry, CentreBrowserInItsView) {
    LibraryFixture lib;
    CBrowserFrame* frame =
        lib.CreateHosted("<object name=\"BrowserWindowRect\" class=\"configuration\" x=\"0\" "
                         "y=\"0\" dx=\"800\" dy=\"600\"/>");
    CBrowserView* view = frame->GetView();
    HeadlessEngineView* engine = ViewOf(frame, lib.Engine());
    auto position = [&](wxSize parent, wxRect rect) {
        view->CentreBrowser(parent, rect);
        int x = -1, y = -1;
        engine->GetBounds(&x, &y, nullptr, nullptr);
        return wxPoint(x, y);
    };
    EXPECT_EQ(position(wxSize(1000, 700), wxRect(0, 0, 800, 600)), wxPoint(100, 50));
    EXPECT_EQ(position(wxSize(700, 700), wxRect(0, 0, 800, 600)), wxPoint(0, 50));
    EXPECT_EQ(position(wxSize(700, 500), wxRect(0, 0, 800, 600)), wxPoint(0, 0));
    EXPECT_EQ(position(wxSize(1000, 700), wxRect(100, 0, 800, 600)), wxPoint(150, 50));
}

TEST(BrowserGeometry, SizeBrowserWidensTheBrowserBySixteenPixels) {
    LibraryFixture lib;
    MozillaFacade* facade = MozillaFacade::GetFacade();
    BrowserFrameOptions params; // sizebrowser by default
    CBrowserFrame* frame = facade->CreateNewBrowserFrame(lib.main, ZeroHost::Get(), params);
    ASSERT_NE(frame, nullptr);
    frame->Show();
    frame->GetView()->SetSize(640, 480);
    int w = 0, h = 0;
    ViewOf(frame, lib.Engine())->GetBounds(nullptr, nullptr, &w, &h);
    EXPECT_EQ(wxSize(w, h), wxSize(656, 480));
}

TEST(BrowserGeometry, HostedFrameWritesItsRectangleBack) {
    LibraryFixture lib;
    CBrowserFrame* frame =
        lib.CreateHosted("<object name=\"MainWindowRect\" class=\"configuration\" x=\"10\" "
                         "y=\"20\" dx=\"500\" dy=\"400\"/>");
    frame->setSize(wxSize(610, 420));
    LibraryFixture::PumpFor(50);
    EXPECT_EQ(lib.config.GetMainWindowRect().GetSize(), wxSize(610, 420));
    wxMoveEvent move(wxPoint(33, 44));
    frame->GetEventHandler()->ProcessEvent(move);
    EXPECT_EQ(lib.config.GetMainWindowRect().GetPosition(), wxPoint(33, 44));
}

TEST(BrowserGlue, ChromeCallbacksReachTheFrame) {
    LibraryFixture lib;
    MozillaFacade* facade = MozillaFacade::GetFacade();
    BrowserFrameOptions params;
    CBrowserFrame* frame = facade->CreateNewBrowserFrame(lib.main, ZeroHost::Get(), params);
    CBrowserImpl* chrome = frame->GetView()->GetChrome();
    ASSERT_NE(chrome, nullptr);

    // Progress limits.
    chrome->OnProgressChange(nullptr, nullptr, 0, 0, 500, 0);
    EXPECT_EQ(frame->Glue().LastProgress(), 500);
    EXPECT_EQ(frame->Glue().LastProgressMax(), INT_MAX);
    chrome->OnProgressChange(nullptr, nullptr, 0, 0, 150, 100);
    EXPECT_EQ(frame->Glue().LastProgress(), 100);
    EXPECT_EQ(frame->Glue().LastProgressMax(), 100);

    // Showing before the first navigation is decided does nothing.
    chrome->SetVisibility(true);
    EXPECT_FALSE(frame->IsShown());

    // An untitled frame leaves the caller's pointer alone.
    frame->SetTitle("");
    PRUnichar sentinel[] = u"unchanged";
    PRUnichar* title = sentinel;
    chrome->GetTitle(&title);
    EXPECT_EQ(title, sentinel);
    chrome->SetTitle(u"Grüße");
    EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("Gr\xc3\xbc\xc3\x9f"
                                                    "e"));

    // The page asks for a client size; the frame's borders are added.
    frame->Show();
    chrome->SizeBrowserTo(400, 300);
    LibraryFixture::PumpFor(50);
    EXPECT_EQ(frame->GetClientSize(), wxSize(400, 300));

    // A sub-frame's location change is not the page's.
    HeadlessPage page{"With frames"};
    page.subframes = {"http://app/inner"};
    HeadlessBackend::SetPage("http://app/outer", page);
    frame->LoadURL("http://app/outer");
    ASSERT_TRUE(lib.Pump([&] { return frame->GetTitle() == "With frames"; }));
    EXPECT_EQ(frame->Glue().CurrentURI(), "http://app/outer");

    // Dimensions: position and size together, or one of them.
    chrome->SetDimensions(nsIEmbeddingSiteWindow::DIM_FLAGS_POSITION |
                              nsIEmbeddingSiteWindow::DIM_FLAGS_SIZE_OUTER,
                          5, 6, 300, 200);
    PRInt32 x = 0, y = 0, cx = 0, cy = 0;
    chrome->GetDimensions(nsIEmbeddingSiteWindow::DIM_FLAGS_POSITION |
                              nsIEmbeddingSiteWindow::DIM_FLAGS_SIZE_INNER,
                          &x, &y, &cx, &cy);
    EXPECT_EQ(wxRect(x, y, cx, cy), wxRect(5, 6, 300, 200));
    EXPECT_EQ(chrome->GetDimensions(nsIEmbeddingSiteWindow::DIM_FLAGS_POSITION, nullptr, nullptr,
                                    nullptr, nullptr),
              NS_OK)
        << "null out-pointers are skipped";
}

TEST(BrowserGlue, StopIsEnabledOnlyWhileADocumentLoads) {
    LibraryFixture lib;
    CBrowserFrame* frame = lib.CreateHosted();
    auto enabled = [&](int id) {
        wxUpdateUIEvent event(id);
        frame->GetView()->GetEventHandler()->ProcessEvent(event);
        return event.GetEnabled();
    };
    EXPECT_FALSE(enabled(CBrowserFrame::ID_STOP));
    EXPECT_FALSE(enabled(CBrowserFrame::ID_BACK));
    frame->Glue().UpdateBusyState(true);
    EXPECT_TRUE(enabled(CBrowserFrame::ID_STOP));
    frame->Glue().UpdateBusyState(false);
    EXPECT_FALSE(enabled(CBrowserFrame::ID_STOP));
    EXPECT_TRUE(enabled(CBrowserFrame::ID_PRINT));
    frame->GetView()->SetPrinting(true);
    EXPECT_FALSE(enabled(CBrowserFrame::ID_PRINT));
    frame->GetView()->SetPrinting(false);

    frame->LoadURL("http://app/one");
    ASSERT_TRUE(lib.Pump([&] { return lib.host.completed.size() == 1; }));
    frame->LoadURL("http://app/two");
    ASSERT_TRUE(lib.Pump([&] { return lib.host.completed.size() == 2; }));
    EXPECT_TRUE(enabled(CBrowserFrame::ID_BACK));
    wxCommandEvent back(wxEVT_MENU, CBrowserFrame::ID_BACK);
    frame->GetEventHandler()->ProcessEvent(back);
    ASSERT_TRUE(lib.Pump([&] { return lib.host.completed.size() == 3; }));
    EXPECT_EQ(lib.host.completed.back(), "http://app/one");
    EXPECT_TRUE(enabled(CBrowserFrame::ID_FORWARD));
    wxCommandEvent home(wxEVT_MENU, CBrowserFrame::ID_HOME);
    frame->GetEventHandler()->ProcessEvent(home);
    ASSERT_TRUE(lib.Pump([&] { return lib.host.completed.size() == 4; }));
    EXPECT_EQ(lib.host.completed.back(), "http://app/one") << "home is the first address";
}

TEST(BrowserGlue, DragsOutOfThePageAreRefusedWhenDragAndDropIsNotAllowed) {
    LibraryFixture lib;
    CBrowserFrame* frame = lib.CreateHosted(); // the application configuration never allows it
    HeadlessEngineView* view = ViewOf(frame, lib.Engine());
    LogCapture log;
    EXPECT_FALSE(view->UserStartsDrag());
    EXPECT_TRUE(view->UserDrops()) << "drops follow the engine";
    EXPECT_TRUE(log.Contains("AllowStartDrag"));
    EXPECT_TRUE(log.Contains("AllowDrop"));

    MozillaFacade* facade = MozillaFacade::GetFacade();
    BrowserFrameOptions params;
    facade->SetHostConfig(nullptr);
    CBrowserFrame* free = facade->CreateNewBrowserFrame(lib.main, ZeroHost::Get(), params);
    EXPECT_TRUE(ViewOf(free, lib.Engine())->UserStartsDrag()) << "no hook without a configuration";
}

TEST(BrowserDownloads, EveryDownloadGoesThroughTheSaveDialog) {
    LibraryFixture lib;
    CBrowserFrame* frame = lib.CreateHosted();
    TempDir dir;
    static wxString s_answer;
    static wxString s_offered;
    HelperAppLauncherDialog::s_chooseFile = [](const wxString& name) {
        s_offered = name;
        return s_answer;
    };
    HeadlessPage file{"report"};
    file.attachment = true;
    file.fileName = "report.txt";
    file.source = "the served bytes\n";
    HeadlessBackend::SetPage("http://app/report", file);

    s_answer = dir.File("saved.txt");
    frame->LoadURL("http://app/report");
    ASSERT_TRUE(lib.Pump([&] { return lib.Engine().Downloads().size() == 1; }));
    EXPECT_EQ(s_offered, "report.txt");
    EXPECT_EQ(ReadFile(dir.File("saved.txt")), "the served bytes\n");
    EXPECT_TRUE(lib.host.completed.empty()) << "a download is not a page";

    s_answer = "";
    frame->LoadURL("http://app/report");
    ASSERT_TRUE(lib.Pump([&] { return lib.Engine().Downloads().size() == 2; }));
    EXPECT_TRUE(lib.Engine().Downloads().back().cancelled);
    EXPECT_TRUE(lib.Engine().Downloads().back().savedTo.empty());
}

TEST(BrowserPrinting, ProgressDialogWaitsForTheEngineAndFailuresShowNone) {
    LibraryFixture lib;
    CBrowserFrame* frame = lib.CreateHosted();
    frame->LoadURL("http://app/page");
    ASSERT_TRUE(lib.Pump([&] { return !lib.host.completed.empty(); }));

    // A watchdog ends a dialog the engine never ends, so a fault fails instead of hanging.
    wxTimer watchdog;
    bool fired = false;
    watchdog.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        fired = true;
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(w); dialog && dialog->IsModal())
                dialog->EndModal(0);
    });
    watchdog.StartOnce(5000);
    frame->Print();
    watchdog.Stop();
    EXPECT_FALSE(fired) << "the engine's end of the job ends the progress dialog";
    EXPECT_FALSE(frame->GetView()->IsPrinting());

    HeadlessEngineView::s_printSucceeds = false;
    watchdog.StartOnce(5000);
    frame->Print();
    watchdog.Stop();
    HeadlessEngineView::s_printSucceeds = true;
    EXPECT_FALSE(fired) << "a refused job shows no dialog at all";
    EXPECT_FALSE(frame->GetView()->IsPrinting());

    LogCapture log;
    frame->PrintPreview(true); // the engine has no preview: nothing happens
    EXPECT_FALSE(frame->GetView()->IsPrinting());
}

TEST(BrowserKeyRules, TheKeysPeopleExpect) {
    using A = BrowserKeys::Action;
    const unsigned C = BrowserKeys::Ctrl, M = BrowserKeys::Alt, S = BrowserKeys::Shift;
    const struct {
        const char* name;
        unsigned modifiers;
        bool finding;
        A action;
    } cases[] = {
        {"f5", 0, false, A::Reload},        {"r", C, false, A::Reload},
        {"r", 0, false, A::None},           {"left", M, false, A::Back},
        {"right", M, false, A::Forward},    {"left", 0, false, A::None},
        {"left", C | M, false, A::None},    {"plus", C, false, A::ZoomIn},
        {"equal", C | S, false, A::ZoomIn}, {"kp_add", C, false, A::ZoomIn},
        {"minus", C, false, A::ZoomOut},    {"kp_subtract", C, false, A::ZoomOut},
        {"0", C, false, A::ZoomReset},      {"f", C, false, A::Find},
        {"f", 0, false, A::None},           {"f3", 0, false, A::FindNext},
        {"f3", S, false, A::FindPrevious},  {"g", C, false, A::FindNext},
        {"escape", 0, true, A::EndFind},    {"escape", 0, false, A::None},
        {"a", C, false, A::None},           {"c", C, false, A::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrowserKeys::ActionFor(c.name, c.modifiers, c.finding), c.action)
            << c.name << " " << c.modifiers;
    EXPECT_EQ(BrowserKeys::NextZoom(100, 1), 110);
    EXPECT_EQ(BrowserKeys::NextZoom(100, -1), 90);
    EXPECT_EQ(BrowserKeys::NextZoom(300, 1), 300);
    EXPECT_EQ(BrowserKeys::NextZoom(30, -1), 30);
    EXPECT_EQ(BrowserKeys::NextZoom(105, 1), 110) << "between steps: the next one";
    EXPECT_EQ(BrowserKeys::NextZoom(105, -1), 100);
    EXPECT_EQ(BrowserKeys::NextZoom(250, 0), 100);
}

TEST(BrowserGlue, BrowserKeysReachThePageUnlessTheConfigurationTurnsThemOff) {
    {
        LibraryFixture lib;
        CBrowserFrame* frame = lib.CreateHosted();
        HeadlessEngineView* view = ViewOf(frame, lib.Engine());
        EngineKey zoom{"plus", true, false, false};
        EXPECT_TRUE(view->PressKey(zoom));
        EXPECT_TRUE(view->PressKey(zoom));
        EXPECT_DOUBLE_EQ(view->Zoom(), 1.25);
        EXPECT_TRUE(view->PressKey(EngineKey{"0", true, false, false}));
        EXPECT_DOUBLE_EQ(view->Zoom(), 1.0);
        EXPECT_FALSE(view->PressKey(EngineKey{"a", false, false, false})) << "the page's own keys";
        EXPECT_FALSE(view->PressKey(EngineKey{"escape", false, false, false}))
            << "Escape is the page's unless a search is on";
    }
    {
        LibraryFixture lib;
        CBrowserFrame* frame = lib.CreateHosted(
            "<object name=\"MainWindowMode\" class=\"configuration\" browserkeys=\"false\"/>");
        HeadlessEngineView* view = ViewOf(frame, lib.Engine());
        EXPECT_FALSE(view->PressKey(EngineKey{"plus", true, false, false})) << "a kiosk";
        EXPECT_FALSE(view->PressKey(EngineKey{"f5", false, false, false}));
        EXPECT_DOUBLE_EQ(view->Zoom(), 1.0);
    }
}

TEST(RendererCrashRules, ThreeWithinAMinuteAreNoPassingFault) {
    RendererCrashes crashes;
    EXPECT_FALSE(crashes.Record(0));
    EXPECT_FALSE(crashes.Record(30000));
    EXPECT_FALSE(crashes.Record(61000)) << "the first is out of the minute";
    EXPECT_TRUE(crashes.Record(70000));
    EXPECT_EQ(crashes.Recent(), 0) << "asked once, counted anew";
    EXPECT_FALSE(crashes.Record(71000));
}

TEST(BrowserGlue, ACrashedRendererIsReloadedAndThenTheUserIsAsked) {
    LibraryFixture lib;
    CBrowserFrame* frame = lib.CreateHosted();
    frame->LoadURL("http://localhost:8470/page");
    HeadlessEngineView* view = ViewOf(frame, lib.Engine());
    ASSERT_TRUE(LibraryFixture::Pump([&] { return view->Url() == "http://localhost:8470/page"; }));
    static int s_asked = 0;
    auto* previous = CPromptService::s_messageBox;
    CPromptService::s_messageBox = [](const wxString&, const wxString&, long, wxWindow*) {
        ++s_asked;
        return static_cast<int>(wxYES);
    };
    LogCapture log;
    view->CrashRenderer();
    ASSERT_TRUE(LibraryFixture::Pump([&] {
        return log.Contains("OnNavigateComplete: http://localhost:8470/page");
    })) << "the page comes back";
    EXPECT_TRUE(log.Contains("the page's renderer ended (crashed): the page is loaded again"));
    view->CrashRenderer();
    view->CrashRenderer();
    EXPECT_EQ(s_asked, 1) << "the third within a minute asks";
    CPromptService::s_messageBox = previous;
}

TEST(DownloadFolderRules, TheDesktopsNameForItAsXdgUserDirReadsIt) {
    const struct {
        const char* userDirs;
        const char* environment;
        const char* folder;
    } cases[] = {
        {"XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n", "", "/home/ada/Downloads"},
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  "
         "XDG_DOWNLOAD_DIR=\"$HOME/Herunterladen\"\n",
         "", "/home/ada/Herunterladen"},
        {"XDG_DOWNLOAD_DIR=\"/srv/incoming\"\n", "/elsewhere", "/srv/incoming"},
        {"XDG_DOWNLOAD_DIR=\"$HOME/a\"\nXDG_DOWNLOAD_DIR=\"$HOME/b\"\n", "", "/home/ada/b"},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/from/env", "/from/env"},
        {"", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DownloadFolder::Named(c.userDirs, "/home/ada", c.environment), c.folder)
            << c.userDirs;
}

TEST(DownloadFolderRules, AFolderThatDoesNotExistGivesTheHomeFolder) {
    TempDir home;
    wxString previousHome, previousConfig;
    wxGetEnv("HOME", &previousHome);
    const bool hadConfig = wxGetEnv("XDG_CONFIG_HOME", &previousConfig);
    wxSetEnv("HOME", home.path());
    wxUnsetEnv("XDG_CONFIG_HOME");
    wxUnsetEnv("XDG_DOWNLOAD_DIR");
    ASSERT_TRUE(wxFileName::Mkdir(home.File(".config"), 0755, wxPATH_MKDIR_FULL));
    home.Write(".config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n");
    EXPECT_EQ(DownloadFolder::Find(), home.path()) << "no Downloads folder: home";
    ASSERT_TRUE(wxFileName::Mkdir(home.File("Downloads"), 0755));
    EXPECT_EQ(DownloadFolder::Find(), home.File("Downloads"));
    wxSetEnv("HOME", previousHome);
    if (hadConfig)
        wxSetEnv("XDG_CONFIG_HOME", previousConfig);
}

TEST(WindowPlacementRules, ANewWindowCascadesAndNeverLandsOnAnotherOne) {
    const wxRect screen(0, 0, 1280, 1024);
    const struct {
        wxRect opener;
        std::vector<wxPoint> taken;
        wxRect expected;
        const char* why;
    } cases[] = {
        {{100, 80, 800, 600}, {}, {132, 112, 800, 600}, "a step down and right"},
        {{0, 0, 1280, 1024},
         {},
         {32, 32, 1248, 992},
         "a window as large as the screen gives up a step"},
        {{500, 400, 800, 600}, {}, {0, 0, 800, 600}, "no room for the step: the corner"},
        {{100, 80, 800, 600},
         {{100, 80}, {132, 112}},
         {164, 144, 800, 600},
         "the next place is another window's: one more step"},
        {{32, 32, 1024, 768},
         {{32, 32}, {64, 64}, {96, 96}},
         {128, 128, 1024, 768},
         "past every window of a cascade"},
        {{-40, -40, 400, 300}, {}, {0, 0, 400, 300}, "an opener half off screen: on screen"},
    };
    for (const auto& c : cases) {
        const wxRect placed = WindowPlacement::Cascaded(c.opener, screen, c.taken);
        EXPECT_EQ(placed, c.expected) << c.why;
        EXPECT_TRUE(screen.Contains(placed)) << c.why;
        EXPECT_NE(placed.GetTopLeft(), c.opener.GetTopLeft()) << c.why;
    }
}

TEST(ProxyPlanRules, LoopbackIsNeverProxiedAndOtherAddressesKeepTheirProxy) {
    using Env = std::map<std::string, std::string>;
    const auto plan = [](const Env& env) {
        return ProxyPlan::FromEnvironment([&](const char* name) {
            const auto it = env.find(name);
            return it == env.end() ? std::string() : it->second;
        });
    };
    EXPECT_FALSE(plan({}).custom) << "nothing in the environment: the desktop's settings";

    const ProxyPlan dead =
        plan({{"http_proxy", "http://127.0.0.1:9"}, {"https_proxy", "http://127.0.0.1:9"}});
    EXPECT_TRUE(dead.custom);
    EXPECT_EQ(dead.httpProxy, "http://127.0.0.1:9");
    EXPECT_EQ(dead.httpsProxy, "http://127.0.0.1:9");
    EXPECT_EQ(dead.defaultProxy, "");
    EXPECT_EQ(dead.ignoreHosts, ProxyPlan::Loopback()) << "no no_proxy: loopback all the same";

    const ProxyPlan upper = plan({{"HTTPS_PROXY", "http://proxy:3128"},
                                  {"NO_PROXY", " intranet.example, .corp ,localhost"}});
    EXPECT_EQ(upper.httpsProxy, "http://proxy:3128");
    EXPECT_EQ(upper.ignoreHosts, (std::vector<std::string>{"localhost", "127.0.0.0/8", "::1",
                                                           "intranet.example", ".corp"}));
    EXPECT_EQ(plan({{"http_proxy", "http://a:1"}, {"HTTP_PROXY", "http://b:2"}}).httpProxy,
              "http://a:1")
        << "the lower-case one wins";
    EXPECT_EQ(plan({{"all_proxy", "socks5://s:1080"}}).defaultProxy, "socks5://s:1080");
    const ProxyPlan none = plan({{"http_proxy", "http://a:1"}, {"no_proxy", "*"}});
    EXPECT_TRUE(none.custom);
    EXPECT_EQ(none.httpProxy, "") << "no_proxy=*: nothing through a proxy";
}
