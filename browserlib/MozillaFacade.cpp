#include "browserlib/MozillaFacade.h"

#include "browserlib/frame/WindowPlacement.h"

#include "browserlib/StringConv.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/frame/CBrowserImpl.h"
#include "browserlib/frame/CBrowserView.h"
#include "browserlib/frame/CloseRound.h"
#include "browserlib/profile/ProfileStartup.h"
#include "browserlib/profile/winEmbedFileLocProvider.h"
#include "browserlib/runtime/EmbeddingRuntime.h"
#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/services/HelperAppLauncherDialogFactory.h"
#include "browserlib/services/PromptServiceFactory.h"
#include "config/HostConfig.h"
#include "platform/PlatformInfo.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

namespace {
MozillaFacade* theFacade = nullptr;

const nsCID kPromptServiceCID = {
    0xA2112D6A, 0x0E28, 0x421F, {0xB4, 0x6A, 0x25, 0xC0, 0xB3, 0x08, 0xCB, 0xD0}};
const nsCID kHelperAppDialogCID = {
    0xF68578EB, 0x6EC2, 0x4169, {0xAE, 0x19, 0x8C, 0x62, 0x43, 0xF0, 0xAB, 0xE1}};

wxPoint PositionOf(const BrowserFrameOptions& p) {
    return p.HasDefaultGeometry() ? wxDefaultPosition : wxPoint(p.x, p.y);
}
wxSize SizeOf(const BrowserFrameOptions& p) {
    return p.HasDefaultGeometry() ? wxDefaultSize : wxSize(p.width, p.height);
}
} // namespace

bool (*MozillaFacade::s_confirmProfileSwitch)() = [] {
    wxMessageDialog question(
        nullptr, wxS("Do you want to close all windows in order to switch the profile?"),
        wxS("Confirm"), wxYES_NO | wxICON_QUESTION);
    return question.ShowModal() == wxID_YES;
};

MozillaFacade* MozillaFacade::GetFacade() {
    if (theFacade)
        return theFacade;
    theFacade = new MozillaFacade;
    if (!theFacade->OnInit()) {
        wxLogError(wxS("theFacade->OnInit failed"));
        delete theFacade;
        theFacade = nullptr;
        return nullptr;
    }
    return theFacade;
}

MozillaFacade* MozillaFacade::Existing() {
    return theFacade;
}

void MozillaFacade::DeleteFacade() {
    delete theFacade;
    theFacade = nullptr;
}

MozillaFacade::MozillaFacade() = default;

MozillaFacade::~MozillaFacade() = default;

NS_INTERFACE_MAP_BEGIN(MozillaFacade)
NS_INTERFACE_MAP_ENTRY(nsIObserver)
NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(nsISupports, nsIObserver)
NS_INTERFACE_MAP_ENTRY(nsIWindowCreator)
NS_INTERFACE_MAP_ENTRY(nsISupportsWeakReference)
NS_INTERFACE_MAP_END

nsrefcnt MozillaFacade::Release() {
    const nsrefcnt count = --m_refCount;
    if (count == 0) {
        if (theFacade == this)
            theFacade = nullptr;
        delete this;
    }
    return count;
}

bool MozillaFacade::OnInit() {
    wxLogMessage(wxS("Browser engine: %s"), EngineBackend::SelectedName() == "headless"
                                                ? wxString(wxS("headless"))
                                                : wxString(EngineBackend::Get().Name()));
    nsCOMPtr<nsIDirectoryServiceProvider> provider = new winEmbedFileLocProvider("wxMozBrowserLib");
    if (!provider) {
        wxLogError(wxS("winEmbedFileLocProvider ctor failed"));
        return false;
    }
    if (NS_FAILED(NS_InitEmbedding(nullptr, provider))) {
        wxLogError(wxS("NS_InitEmbedding (windows) failed"));
        return false;
    }
    if (NS_FAILED(OverrideComponents())) {
        wxLogError(wxS("OverrideComponents failed!"));
        NS_TermEmbedding();
        return false;
    }
    if (NS_FAILED(InitializeWindowCreator())) {
        wxLogError(wxS("InitializeWindowCreator failed!"));
        NS_TermEmbedding();
        return false;
    }
    if (!InitializeProfiles()) {
        wxLogError(wxS("InitializeProfiles failed!"));
        NS_TermEmbedding();
        return false;
    }
    return true;
}

nsresult MozillaFacade::OverrideComponents() {
    nsCOMPtr<nsIFactory> promptFactory;
    if (NS_SUCCEEDED(CreatePromptService(getter_AddRefs(promptFactory))) && promptFactory)
        nsComponentManager::RegisterFactory(kPromptServiceCID, "Prompt Service",
                                            "@mozilla.org/embedcomp/prompt-service;1",
                                            promptFactory, true);
    else
        wxLogMessage(wxS("Failed to create PromptFactory!"));

    nsCOMPtr<nsIFactory> dialogFactory;
    const nsresult rv = CreateHelperAppLauncherDialogFactory(getter_AddRefs(dialogFactory));
    if (NS_SUCCEEDED(rv) && dialogFactory)
        nsComponentManager::RegisterFactory(kHelperAppDialogCID, "Helper App Launcher Dialog",
                                            "@mozilla.org/helperapplauncherdialog;1", dialogFactory,
                                            true);
    else
        wxLogMessage(wxS("Failed to create helper app dialog factory!"));
    return rv;
}

nsresult MozillaFacade::InitializeWindowCreator() {
    nsCOMPtr<nsIWindowWatcher> watcher =
        do_GetService<nsIWindowWatcher>("@mozilla.org/embedcomp/window-watcher;1");
    if (!watcher)
        return NS_ERROR_FAILURE;
    watcher->SetWindowCreator(static_cast<nsIWindowCreator*>(this));
    return NS_OK;
}

bool MozillaFacade::InitializeProfiles() {
    m_ProfileManager = std::make_unique<ProfileStartup>();
    nsCOMPtr<nsIObserverService> observers =
        do_GetService<nsIObserverService>("@mozilla.org/observer-service;1");
    if (observers) {
        observers->AddObserver(this, "profile-approve-change", true);
        observers->AddObserver(this, "profile-change-teardown", true);
        observers->AddObserver(this, "profile-after-change", true);
    }
    m_ProfileManager->Startup();
    return true;
}

bool MozillaFacade::OnExit() {
    wxLogMessage(wxS("MozillaFacade::OnExit"));
    wxMutexLocker lock(m_Mutex);
    if (!lock.IsOk()) {
        wxLogError(wxS("MozillaFacade::OnExit, Could not quire lock"));
    } else {
        for (auto it = m_Frames.begin(); it != m_Frames.end();) {
            auto* window = dynamic_cast<wxWindow*>(*it);
            it = m_Frames.erase(it);
            if (window)
                window->Destroy();
        }
    }
    m_ProfileManager.reset();
    NS_TermEmbedding();
    return true;
}

long MozillaFacade::StyleFor(const BrowserFrameOptions& params, bool hosted) const {
    long style = wxDEFAULT_FRAME_STYLE | wxCLIP_CHILDREN;
    if (hosted) {
        if (!params.resizable)
            style &= ~wxRESIZE_BORDER;
        style &= ~wxMAXIMIZE_BOX;
    } else {
        if (!params.resizable)
            style &= ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX);
        if (m_HostConfig && m_HostConfig->IsFullscreen())
            style |= wxSTAY_ON_TOP;
    }
    return style;
}

CBrowserFrame* MozillaFacade::CreateEmbeddedBrowserFrame(wxWindow*, IMozillaHost*,
                                                         BrowserFrameOptions&) {
    return nullptr;
}

CBrowserFrame* MozillaFacade::CreateHostedBrowserFrame(wxWindow* parent, IMozillaHost* host,
                                                       BrowserFrameOptions& params) {
    m_Host = host;
    params.hosted = true;
    auto* frame = new CBrowserFrame(params, host);
    frame->SetHostConfig(m_HostConfig);
    wxLogMessage(wxS("MozillaFacade::CreateHostedBrowserFrame %s with position x=%d, y=%d, size "
                     "dx=%d, dy=%d"),
                 params.name, params.x, params.y, params.width, params.height);
    if (!frame->Create(parent, wxID_ANY, params.name, PositionOf(params), SizeOf(params),
                       StyleFor(params, true), params.name)) {
        wxLogError(wxS("MozillaFacade::CreateHostedBrowserFrame: Could not create browser frame!"));
        delete frame;
        return nullptr;
    }
    if (m_HostConfig && m_HostConfig->IsMainWindowCentered()) {
        // Placed by hand, and again once shown: without a window manager the
        // toolkit's own centring comes before the window is mapped and is lost.
        const wxRect place = WindowPlacement::Centred(
            frame->GetSize(), WindowPlacement::WorkAreaAround(frame->GetRect()));
        frame->Move(place.GetPosition());
        frame->CallAfter([frame, place] {
            if (!frame->IsFullScreen() && frame->GetSize() == place.GetSize())
                frame->Move(place.GetPosition());
        });
    }
    if (params.show)
        frame->Show();
    wxMutexLocker lock(m_Mutex);
    if (!lock.IsOk())
        wxLogError(wxS("MozillaFacade::CreateHostedBrowserFrame, Could not quire lock"));
    else
        m_Frames.push_back(frame);
    return frame;
}

CBrowserFrame* MozillaFacade::CreateNewBrowserFrame(wxWindow* parent, IMozillaHost* host,
                                                    BrowserFrameOptions& params) {
    auto* frame = new CBrowserFrame(params, host);
    frame->SetHostConfig(m_HostConfig);
    wxLogMessage(
        wxS("MozillaFacade::CreateNewBrowserFrame %s with position x=%d, y=%d, size dx=%d, dy=%d"),
        params.name, params.x, params.y, params.width, params.height);
    if (!frame->Create(parent, wxID_ANY, params.name, PositionOf(params), SizeOf(params),
                       StyleFor(params, false), wxS("wxBaseFrame"))) {
        delete frame;
        return nullptr;
    }
    wxMutexLocker lock(m_Mutex);
    if (!lock.IsOk())
        wxLogError(wxS("MozillaFacade::CreateNewBrowserFrame, Could not quire lock"));
    else
        m_Frames.push_back(frame);
    return frame;
}

nsresult MozillaFacade::CreateChromeWindow(nsIWebBrowserChrome* parent, PRUint32 chromeFlags,
                                           nsIWebBrowserChrome** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    IMozillaHost* host = m_Host ? m_Host : ZeroHost::Get();
    BrowserFrameOptions params;
    params.name = wxString::Format(wxS("New window %d"), m_windowNumber);
    params.chromeFlags = chromeFlags;
    params.resizable = (chromeFlags & nsIWebBrowserChrome::CHROME_WINDOW_RESIZE) != 0;
    // Until the page asks for a size: its opener's, cascaded from where the
    // window manager put the opener, on screen, and on no other window's place.
    wxFrame* opener = nullptr;
    std::vector<wxPoint> taken;
    {
        wxMutexLocker lock(m_Mutex);
        for (wxObject* entry : m_Frames) {
            auto* frame = dynamic_cast<CBrowserFrame*>(entry);
            if (!frame || !frame->IsShown())
                continue;
            taken.push_back(frame->GetPosition());
            if (parent && frame->GetView() && frame->GetView()->GetChrome() == parent)
                opener = frame;
        }
    }
    if (!opener)
        opener = LastShownFrame();
    if (opener) {
        const wxRect place = WindowPlacement::Cascaded(
            opener->GetRect(), WindowPlacement::WorkAreaAround(opener->GetRect()), taken);
        params.x = place.x;
        params.y = place.y;
        params.width = place.width;
        params.height = place.height;
    }
    CBrowserFrame* frame =
        CreateNewBrowserFrame(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, host, params);
    if (frame && frame->GetView() && frame->GetView()->GetChrome()) {
        *result = frame->GetView()->GetChrome();
        (*result)->AddRef();
    }
    return NS_OK;
}

wxFrame* MozillaFacade::LastShownFrame() {
    wxMutexLocker lock(m_Mutex);
    wxFrame* last = nullptr;
    for (wxObject* entry : m_Frames)
        if (auto* frame = dynamic_cast<CBrowserFrame*>(entry); frame && frame->IsShown())
            last = frame;
    return last;
}

void MozillaFacade::AskEveryPageToClose(std::function<void(bool mayClose)> done) {
    std::vector<CBrowserFrame*> frames, hosted;
    {
        wxMutexLocker lock(m_Mutex);
        for (auto it = m_Frames.rbegin(); it != m_Frames.rend(); ++it)
            if (auto* frame = dynamic_cast<CBrowserFrame*>(*it))
                (frame->IsHosted() ? hosted : frames).push_back(frame);
    }
    frames.insert(frames.end(), hosted.begin(), hosted.end());
    CloseRound::Start(frames, std::move(done));
}

void MozillaFacade::RemoveOneFrame(wxObject* frame, bool) {
    wxMutexLocker lock(m_Mutex);
    if (!lock.IsOk()) {
        wxLogError(wxS("MozillaFacade::RemoveOneFrame, Could not quire lock"));
        return;
    }
    for (auto it = m_Frames.begin(); it != m_Frames.end(); ++it) {
        if (*it == frame) {
            m_Frames.erase(it);
            break;
        }
    }
}

wxFrame* MozillaFacade::FindWindowByHwnd(void* handle) {
    wxMutexLocker lock(m_Mutex);
    if (!lock.IsOk()) {
        wxLogError(wxS("MozillaFacade::FindWindowByHwnd, Could not quire lock"));
        return nullptr;
    }
    for (wxObject* entry : m_Frames) {
        auto* frame = dynamic_cast<CBrowserFrame*>(entry);
        if (frame && frame->NativeHandle() == handle)
            return frame->GetFrame();
    }
    return nullptr;
}

bool MozillaFacade::GetTempDirectory(wxString& out) {
    if (!m_HostConfig)
        return false;
    wxString dir = m_HostConfig->GetTempDirectory();
    if (dir.empty() || !wxFileName::DirExists(dir)) {
        dir = wxGetCwd();
        if (!wxFileName::DirExists(dir))
            return false;
    }
    if (dir.Last() != PlatformInfo::PathSeparator())
        dir += PlatformInfo::PathSeparator();
    dir += m_TempDirName;
    if (!wxFileName::DirExists(dir) && !wxFileName::Mkdir(dir, 0777)) {
        wxLogError(wxS("Cannot create directory %s"), dir);
        return false;
    }
    out = dir;
    return true;
}

nsresult MozillaFacade::Observe(nsISupports* subject, const char* topic, const PRUnichar*) {
    const std::string name = topic ? topic : "";
    if (name == "profile-approve-change") {
        if (!s_confirmProfileSwitch()) {
            nsCOMPtr<nsIProfileChangeStatus> status =
                do_QueryInterface<nsIProfileChangeStatus>(subject);
            if (!status)
                return NS_ERROR_FAILURE;
            status->VetoChange();
        }
        return NS_OK;
    }
    if (name == "profile-change-teardown") {
        wxMutexLocker lock(m_Mutex);
        if (!lock.IsOk()) {
            wxLogError(wxS("MozillaFacade::Observe, Could not quire lock"));
            return NS_OK;
        }
        for (auto it = m_Frames.begin(); it != m_Frames.end();) {
            auto* window = dynamic_cast<wxWindow*>(*it);
            it = m_Frames.erase(it);
            if (window) {
                window->Hide();
                window->Destroy();
            }
        }
        return NS_OK;
    }
    if (name == "profile-after-change")
        InitializePrefs();
    return NS_OK;
}

nsresult MozillaFacade::InitializePrefs() {
    nsresult rv = NS_OK;
    nsCOMPtr<nsIPref> prefs = do_GetService<nsIPref>("@mozilla.org/preferences;1", &rv);
    if (!prefs)
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    PRBool inited = false;
    rv = prefs->GetBoolPref("mfcbrowser.prefs_inited", &inited);
    if (NS_SUCCEEDED(rv) && inited)
        return rv;
    prefs->SetIntPref("browser.startup.page", 1);
    prefs->SetCharPref("browser.startup.homepage", "about:blank");
    prefs->SetIntPref("font.size.variable.x-western", 16);
    prefs->SetIntPref("font.size.fixed.x-western", 13);
    rv = prefs->SetBoolPref("mfcbrowser.prefs_inited", true);
    if (NS_SUCCEEDED(rv))
        rv = prefs->SavePrefFile(nullptr);
    return rv;
}
