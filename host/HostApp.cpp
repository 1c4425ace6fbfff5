#include "host/HostApp.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <unistd.h>
#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>
#include <wx/filename.h>

#include "browserlib/api/wxHtmlCtrl.h"
#include "config/LogFilePath.h"
#include "host/FatalError.h"
#include "host/HostLog.h"
#include "host/HostSwitches.h"
#include "host/OsDefaults.h"
#include "host/ProgramObjects.h"
#include "host/RotatingLogFile.h"
#include "host/UserMessages.h"
#include "navigation/MainFrame.h"
#include "navigation/OpenRequest.h"
#include "navigation/SplashWindow.h"
#include "navigation/X11DisplayManager.h"
#include "platform/InstanceLock.h"
#include "platform/UiServices.h"
#include "platform/Utf8Locale.h"
#include "platform/WxUiServices.h"
#include "server/LeftoverServers.h"
#include "server/ProcessGroupReaper.h"
#include "server/ServerOutputTail.h"
#include "server/Watchdog.h"

#include <algorithm>
#include <csignal>

#include <exception>
#include <wx/apptrait.h>
#include <wx/filesys.h>
#include <wx/fs_inet.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace {
// Entries logged while no file target is installed go to the standard error
// stream: a box per entry would bury the user in dialogs.
class HostAppTraits : public wxGUIAppTraits {
public:
    wxLog* CreateLogTarget() override { return HostLog::CreateTarget(nullptr); }
};

// A failed toolkit assertion is a diagnostic, not a modal dialog that stalls
// an unattended host.
void LogAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
               const wxString& msg) {
    wxLogError(wxS("Assertion failed: %s (%s) in %s at %s:%d"), cond, msg, func, file, line);
}
} // namespace

HostApp::~HostApp() = default;

wxAppTraits* HostApp::CreateTraits() {
    return new HostAppTraits;
}

bool HostApp::IsSwitchSet(const wxString& name) {
    return HostSwitches::IsSet(name);
}

bool HostApp::OnInit() {
    Utf8Locale::Setup();
    wxSetAssertHandler(LogAssert);
    UiServices::Install(std::make_unique<WxUiServices>());

    if (argc == 0)
        wxLogFatalError(wxS("Unexpected wxApp::argc==0"));

    const wxString arg0 = argv[0];
    const size_t lastSeparator = arg0.rfind(wxS('/'));
    const wxString programDir = (lastSeparator == wxString::npos || lastSeparator == 0)
                                    ? wxString()
                                    : arg0.substr(0, lastSeparator);
    const wxString cwd = wxGetCwd();
    if (cwd != programDir) {
        wxLogVerbose(wxS("Warning: cwd (%s) != arg0path (%s) !"), cwd, programDir);
        appConfig.SetWorkingDirectory(programDir);
    }

    m_logTarget = nullptr;
    m_logFile = nullptr;

    {
        wxFileName configFile(appConfig.GetFileName());
        configFile.MakeAbsolute();
        FatalError::SetContext(wxString(), wxString(), configFile.GetFullPath(),
                               wxS(VELTA_VERSION));
        FatalError::SetOutputSource([] { return ServerOutputTail::Current().Lines(); });
    }
    try {
        appConfig.Load();
        if (appConfig.IsLoggingEnabled()) {
            const wxString path = BuildLogFilePath(appConfig);
            m_logFile = new RotatingLogFile(std::string(path.fn_str()));
            if (m_logFile->Open()) {
                m_logTarget = HostLog::CreateRotatingTarget(m_logFile);
            } else {
                delete m_logFile;
                m_logFile = nullptr;
                m_logTarget = HostLog::CreateTarget(nullptr);
            }
            if (wxLog* previous = wxLog::SetActiveTarget(m_logTarget))
                previous->Flush();
            HostLog::ApplyLogLevel(appConfig.GetLoggingLevel());
            wxLogMessage(wxS("Program starting up ... (HostApp::OnInit)"));
            // Whatever the level: one file sent by a user must tell whose run it was.
            const wxLogLevel level = wxLog::GetLogLevel();
            wxLog::SetLogLevel(wxLOG_Message);
            wxFileName configFile(appConfig.GetFileName()), logFile(path);
            configFile.MakeAbsolute();
            logFile.MakeAbsolute();
            wxLogMessage(wxS("HostApp::OnInit velta-host %s, configuration %s, log %s%s"),
                         wxS(VELTA_VERSION), configFile.GetFullPath(), logFile.GetFullPath(),
                         m_logFile ? wxString() : wxString(wxS(" (cannot be written)")));
            // And what in its configuration the host could not use, whatever the level.
            for (const ConfigFindings::Finding& finding : appConfig.Findings())
                wxLogWarning(wxS("HostConfig::Load %s"),
                             ConfigFindings::Format(configFile.GetFullPath(), finding));
            wxLog::SetLogLevel(level);
        }
        wxFileName configFile(appConfig.GetFileName()), logFile(BuildLogFilePath(appConfig));
        configFile.MakeAbsolute();
        logFile.MakeAbsolute();
        FatalError::SetContext(appConfig.GetUILanguage(),
                               m_logFile ? logFile.GetFullPath() : wxString(),
                               configFile.GetFullPath(), wxS(VELTA_VERSION));
    } catch (const std::exception& e) {
        wxLogError(wxS("appConfig.Load () exception %s"), wxString(e.what(), wxConvLibc));
        ShowFatalError(wxS("Fatal error"),
                       wxS("The configuration file could not be found. Please reinstall the "
                           "program."));
    } catch (...) {
        wxLogError(wxS("appConfig.Load () exception unknown exception"));
        ShowFatalError(wxS("Fatal error"),
                       wxS("The configuration file could not be found. Please reinstall the "
                           "program."));
    }

    // One host per installation: a second start brings the first forward.
    {
        wxFileName configFile(appConfig.GetFileName());
        configFile.MakeAbsolute();
        m_instance = std::make_unique<InstanceLock>(
            InstanceLock::KeyFor(std::string(configFile.GetFullPath().fn_str())));
        // What the desktop asks this start to open (a link, a file): relative
        // paths are this start's, made absolute before they travel.
        wxArrayString words;
        for (int i = 0; i < argc; ++i)
            words.push_back(argv[i]);
        m_toOpen = OpenRequest::Candidates(words, cwd);
        if (!m_instance->Acquire()) {
            std::vector<std::string> items;
            for (const wxString& candidate : m_toOpen)
                items.push_back(std::string(candidate.utf8_str()));
            const bool answered = m_instance->AskFirstToComeForward(items);
            if (!m_toOpen.empty())
                wxLogMessage(wxS("HostApp::OnInit %zu things to open handed to the running host"),
                             m_toOpen.size());
            wxLogMessage(answered ? wxS("HostApp::OnInit this application runs already: its "
                                        "window comes forward, this start ends")
                                  : wxS("HostApp::OnInit this application runs already (it did "
                                        "not answer): this start ends"));
            if (wxLog* log = wxLog::GetActiveTarget())
                log->Flush();
            std::fflush(nullptr);
            _exit(0); // nothing of this start is worth tearing down
        }
        if (m_instance->Listen() >= 0)
            CallAfter([this] { WatchSecondStarts(); });
        // A server an earlier run left (a crash, another version) would hold
        // the port, and the application's origin with it.
        LeftoverServers::SetRecordFile(m_instance->LockPath() + ".server");
        char programDir[PATH_MAX];
        if (realpath(".", programDir))
            for (pid_t pgid : LeftoverServers::EndAll(programDir, LeftoverServers::Recorded()))
                wxLogWarning(wxS("HostApp::OnInit a server of an earlier run was still running "
                                 "(process group %ld): ended"),
                             static_cast<long>(pgid));
    }

    // Should the host die without a word, a watchdog ends the server.
    Watchdog::StartWhenNeeded(
        m_logFile ? std::string(BuildLogFilePath(appConfig).fn_str()) : std::string(),
        [] { wxLogWarning(wxS("HostApp: the watchdog could not be started")); });

    wxFileSystem::AddHandler(new wxInternetFSHandler);
    wxInitAllImageHandlers(); // PNG and JPEG for the splash page and the window icon
    SetOSSpecificParamDefaults();

    wxArrayString args;
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    if (HostSwitches::ApplyCommandLine(args))
        wxLog::SetLogLevel(wxLOG_Message);

    wxSetEnv(wxS("XPCOM_DEBUG_BREAK"), wxS("warn"));
    if (!appConfig.GetBrowserDataDirectory().empty()) {
        const wxString profiles = LogFilePath::Directory(appConfig.GetBrowserDataDirectory());
        wxLogMessage(wxS("HostApp::OnInit browser data in %s"), profiles);
        wxHtmlCtrl::SetProfileRoot(profiles);
    }

    if (wxHtmlCtrl::OnInit()) {
        wxLogMessage(wxS("wxHtmlCtrl::OnInit () ok"));
        // Before the engine's first process starts: its pages' languages.
        wxHtmlCtrl::SetInterfaceLanguage(appConfig.GetUILanguage());
    } else {
        wxLogError(wxS("wxHtmlCtrl::OnInit (); failed"));
        const wxString& language = appConfig.GetUILanguage();
        ShowFatalError(
            UserMessages::FatalCaption(language),
            UserMessages::Pick(language,
                               L"Die Anwendung konnte nicht korrekt initialisiert werden. Bitte "
                               L"führen Sie einen Neustart Ihres Computer aus und starten Sie "
                               L"anschließend die Anwendung erneut.",
                               L"Error initializing the application. Please restart your computer "
                               L"and open the program again."));
    }

    auto* frame = new MainFrame(wxS("Test embedded Mozilla"), wxDefaultPosition, wxSize(800, 600),
                                appConfig, serverController, navController);
    m_mainFrame = frame;
    navController.SetMainFrame(frame);
    navController.SetDisplayManager(std::make_unique<X11DisplayManager>(1024, 768));

    navController.SetHostConfig(&appConfig);
    navController.OpenFromDesktop(m_toOpen);

    wxCommandEvent start(wxEVT_MENU, MainFrame::ID_START);
    wxPostEvent(frame, start);
    SetTopWindow(frame);

    // Ended from outside (a logout, a service manager): stop like a close request.
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        SetSignalHandler(signal, [](int) {
            if (wxWindow* top = wxTheApp->GetTopWindow())
                top->Close(true);
        });
    return true;
}

int HostApp::OnRun() {
    return wxApp::OnRun();
}

namespace {
// A second start knocking on the first one's socket.
struct SecondStartHandler : wxEventLoopSourceHandler {
    std::function<void()> onRequest;
    void OnReadWaiting() override { onRequest(); }
    void OnWriteWaiting() override {}
    void OnExceptionWaiting() override {}
};
} // namespace

void HostApp::WatchSecondStarts() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop || !m_instance)
        return;
    auto* handler = new SecondStartHandler; // lives as long as the program
    handler->onRequest = [this] {
        std::vector<std::string> items;
        if (!m_instance || !m_instance->AcceptRequest(&items))
            return;
        BringForward();
        std::vector<wxString> candidates;
        for (const std::string& item : items)
            candidates.push_back(wxString::FromUTF8(item.c_str()));
        navController.OpenFromDesktop(candidates);
    };
    m_secondStarts.reset(loop->AddSourceForFD(m_instance->Listen(), handler,
                                              wxEVENT_SOURCE_INPUT | wxEVENT_SOURCE_EXCEPTION));
}

void HostApp::BringForward() {
    wxLogMessage(wxS("HostApp: a second start of this application: the window comes forward"));
    wxTopLevelWindow* window = nullptr;
    if (wxHtmlCtrl* control = navController.GetControl())
        window = control->GetFrame();
    else if (navController.GetSplash())
        window = navController.GetSplash();
    if (!window)
        return;
    if (window->IsIconized())
        window->Iconize(false);
    window->Show();
    window->Raise();
    window->SetFocus();
}

int HostApp::OnExit() {
    const int result = wxHtmlCtrl::OnExit() ? 1 : 0;
    // A real X server keeps a changed display mode: restore it now.
    navController.SetDisplayManager(nullptr);
    // Whatever the stop sequence left of a server's process group goes now.
    ProcessGroupReaper::Get().EndAll();
    // Processes of the server that left its group (setsid) are not in it.
    if (const size_t left = LeftoverServers::EndTreeOf(static_cast<pid_t>(getpid())))
        wxLogMessage(wxS("HostApp::OnExit ended %zu processes of the server outside its group"),
                     left);
    Watchdog::Done();
    m_secondStarts.reset();
    m_instance.reset();
    wxLogMessage(wxS("Program exit ... (HostApp::OnExit)"));
    wxLog::SetLogLevel(wxLOG_Message);
    if (m_logTarget) {
        wxLog::SetActiveTarget(nullptr);
        delete m_logTarget;
        m_logTarget = nullptr;
    }
    delete m_logFile;
    m_logFile = nullptr;
    wxApp::OnExit();
    return result;
}

void HostApp::SetOSSpecificParamDefaults() {
    OsVersionInfo version;
    if (!OsVersion::Query(version))
        return;
    const wxArrayString detected = OsDefaults::Detect(version);
    for (const wxString& text : detected)
        wxLogMessage(wxS("%s"), text);
    if (!detected.empty())
        HostSwitches::Set(wxS("ignore_server_terminate"));
}
