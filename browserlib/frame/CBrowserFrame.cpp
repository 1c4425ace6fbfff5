#include "browserlib/frame/CBrowserFrame.h"

#include <wx/weakref.h>

#include "browserlib/api/NavigationRequest.h"

#include "browserlib/MozillaFacade.h"
#include "browserlib/api/IHtmlControlNavigationListener.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/CBrowserView.h"
#include "config/HostConfig.h"

#include <wx/filesys.h>
#include <wx/icon.h>
#include <wx/log.h>

CBrowserFrame::CBrowserFrame(const BrowserFrameOptions& options, IMozillaHost* host)
    : m_options(options), m_host(host ? host : ZeroHost::Get()), m_glue(this) {
    if (m_options.hosted)
        m_host->OnInit();
}

CBrowserFrame::~CBrowserFrame() {
    // The view still needs this frame while its browser goes.
    if (m_view)
        m_view->DestroyBrowser();
    if (MozillaFacade* facade = MozillaFacade::Existing())
        facade->RemoveOneFrame(this, true);
    if (m_options.hosted)
        m_host->OnExit();
}

bool CBrowserFrame::Create(wxWindow* parent, wxWindowID id, const wxString& title,
                           const wxPoint& pos, const wxSize& size, long style,
                           const wxString& name) {
    if (!wxFrame::Create(parent, id, title, pos, size, style, name))
        return false;
    Bind(wxEVT_CLOSE_WINDOW, &CBrowserFrame::OnClose, this);
    Bind(wxEVT_SIZE, &CBrowserFrame::OnSize, this);
    Bind(wxEVT_MOVE, &CBrowserFrame::OnMove, this);
    Bind(wxEVT_ACTIVATE, &CBrowserFrame::OnActivate, this);
    Bind(wxEVT_ICONIZE, &CBrowserFrame::OnIconize, this);
    for (int command : {ID_BACK, ID_FORWARD, ID_HOME, ID_RELOAD, ID_VIEW_SOURCE, ID_NOOP})
        Bind(wxEVT_MENU, &CBrowserFrame::OnViewCommand, this, command);
    OnCreate();
    return true;
}

void CBrowserFrame::OnCreate() {
    if (m_hostConfig) {
        const wxString iconUrl = m_hostConfig->GetIconUrl();
        if (iconUrl.empty()) {
            wxLogMessage(
                wxS("CBrowserFrame::OnCreate warning: icon url empty, using standard icon"));
        } else {
            // A file URL or a path; any image format the toolkit reads (ICO, PNG, ...).
            wxString path = iconUrl;
            if (path.Lower().StartsWith(wxS("file:")))
                path = wxFileSystem::URLToFileName(path).GetFullPath();
            wxIcon icon;
            wxLogNull quiet;
            if (wxFileExists(path) && icon.LoadFile(path, wxBITMAP_TYPE_ANY))
                SetIcon(icon);
            else
                wxLogMessage(wxS("CBrowserFrame::OnCreate could not load icon from url=%s"),
                             iconUrl);
        }
    }
    wxPoint position(0, 0);
    wxSize size = GetClientSize();
    if (m_options.hosted && m_hostConfig) {
        const wxRect& r = m_hostConfig->GetBrowserWindowRect();
        if (r.width > 0 && r.height > 0) {
            position = wxPoint(r.x, r.y);
            size = wxSize(r.width, r.height);
        } else {
            // Without a browser rectangle the page fills the window; a browser
            // of no size would show nothing at all.
            m_fillsFrame = true;
        }
    }
    m_view = new CBrowserView(this, &m_glue);
    if (!m_view->Create(this, 1235, position, size, wxDEFAULT_FRAME_STYLE | wxCLIP_CHILDREN,
                        wxS("CBrowserView"))) {
        wxLogError(wxS("CBrowserFrame::OnCreate: Could not create browser view!"));
        return;
    }
    if (m_options.scrollbar && m_hostConfig && !m_fillsFrame) {
        const wxRect& r = m_hostConfig->GetBrowserWindowRect();
        m_view->SetScrollbars(32, 32, r.width / 32, r.height / 32, 0, 0, false);
    }
}

bool CBrowserFrame::LoadURL(const wxString& url) {
    if (m_view)
        m_view->LoadURL(url);
    return true;
}

bool CBrowserFrame::SetHTML(const wxString&, const wxString*) {
    MozillaFacade* facade = MozillaFacade::GetFacade();
    wxString directory;
    return facade && facade->GetTempDirectory(directory);
}

wxString CBrowserFrame::GetDocumentContent() {
    return m_view ? m_view->DocumentContent() : wxString();
}

wxString CBrowserFrame::GetNavigationContent() {
    return m_view ? m_view->NavigationContent() : wxString();
}

void CBrowserFrame::Print() {
    if (m_view)
        m_view->Print();
}

void CBrowserFrame::PrintPreview(bool on) {
    if (m_view)
        m_view->PrintPreview(on);
}

void CBrowserFrame::setSize(const wxSize& size) {
    wxLogMessage(wxS("CBrowserFrame::setSize set x=%d, y=%d"), size.x, size.y);
    SetSize(size);
}

bool CBrowserFrame::OnStartURIOpen(NavigationRequest& request) {
    const wxString& url = request.url;
    // A new window's first address is for its own top frame.
    if (m_firstNavigationPending && request.frame == NavigationRequest::Frame::Unknown)
        request.frame = NavigationRequest::Frame::Main;
    bool abort = false;
    if (m_host && m_host->m_NavigationListener)
        abort = m_host->m_NavigationListener->FilterNavigation(request);
    if (abort && request.decideWithFrame)
        return abort; // asked again once its frame is known
    if (m_firstNavigationPending) {
        m_firstNavigationPending = false;
        m_options.url = url;
        if (abort) {
            // A window opened for an address the host took over is never shown.
            m_closing = true;
            Destroy();
        } else if (m_options.show) {
            Show();
        }
    }
    return abort;
}

void CBrowserFrame::AskPageToClose(std::function<void(bool mayClose)> done) {
    if (!m_view || m_pageAgreed || m_closing) {
        done(true);
        return;
    }
    wxWeakRef<CBrowserFrame> self(this);
    m_view->AskPageToClose([self, done](bool mayClose) {
        if (self) {
            self->m_pageAgreed = mayClose;
            if (!mayClose)
                wxLogMessage(wxS("CBrowserFrame: the page has unsaved work, the user stays"));
        }
        done(mayClose);
    });
}

void CBrowserFrame::OnClose(wxCloseEvent& event) {
    // A close the user started asks the page first, as browsers do.
    if (event.CanVeto() && !m_pageAgreed && !m_closing && m_view) {
        event.Veto();
        if (m_askingPage) {
            wxLogMessage(wxS("CBrowserFrame::OnClose: refused, the page is still being asked"));
            return;
        }
        m_askingPage = true;
        wxWeakRef<CBrowserFrame> self(this);
        auto then = [self](bool mayClose) {
            if (!self)
                return;
            self->m_askingPage = false;
            if (mayClose)
                self->Close();
        };
        // The application's window closes the application: every window's
        // page is asked. A pop-up asks only its own.
        MozillaFacade* facade = MozillaFacade::Existing();
        if (m_options.hosted && facade) {
            wxLogMessage(wxS("CBrowserFrame::OnClose: every window's page is asked whether it "
                             "may go"));
            facade->AskEveryPageToClose(then);
        } else {
            wxLogMessage(wxS("CBrowserFrame::OnClose: the page is asked whether it may go"));
            AskPageToClose(then);
        }
        return;
    }
    if (m_options.hosted && !m_closing && m_host)
        m_host->OnClosing();
    if (m_hostConfig && !m_hostConfig->GetAppCommandShutdown().empty() && m_options.hosted) {
        if (m_closing)
            return; // already on its way
        // The host's filter sees the shutdown command. The page must outlive the
        // request it sends: destroyed with it, the request would never reach the
        // server. So the frame goes out of sight now and is destroyed a moment
        // later (or earlier, by the host, once the server has ended).
        m_closing = true;
        LoadURL(m_hostConfig->GetAppCommandShutdown());
        Hide();
        m_closeTimer.SetOwner(this);
        Bind(
            wxEVT_TIMER, [this](wxTimerEvent&) { Destroy(); }, m_closeTimer.GetId());
        m_closeTimer.StartOnce(ShutdownGraceMs);
        return;
    }
    m_closing = true;
    Destroy();
}

int CBrowserFrame::GetZoomPercent() const {
    return m_view ? m_view->ZoomPercent() : 100;
}

void CBrowserFrame::SetZoomPercent(int percent) {
    if (m_view)
        m_view->SetZoomPercent(percent);
}

void CBrowserFrame::OnSize(wxSizeEvent& event) {
    const wxSize size = event.GetSize();
    wxLogMessage(wxS("CBrowserFrame::OnSize with x=%d, y=%d"), size.x, size.y);
    if (m_view)
        m_view->SetSize(GetClientSize());
    // The window's own size: a maximized or full-screen one is the screen's.
    if (m_hostConfig && m_options.hosted && !IsMaximized() && !IsFullScreen()) {
        wxRect rect = m_hostConfig->GetMainWindowRect();
        rect.width = size.x;
        rect.height = size.y;
        m_hostConfig->SetMainWindowRect(rect);
    }
    event.Skip();
}

void CBrowserFrame::OnMove(wxMoveEvent& event) {
    const wxPoint position = event.GetPosition();
    wxLogMessage(wxS("CBrowserFrame::OnMove with x=%d, y=%d"), position.x, position.y);
    if (m_hostConfig && m_options.hosted && !IsIconized() && !IsMaximized() && !IsFullScreen()) {
        wxRect rect = m_hostConfig->GetMainWindowRect();
        rect.x = position.x;
        rect.y = position.y;
        m_hostConfig->SetMainWindowRect(rect);
    }
    event.Skip();
}

void CBrowserFrame::OnIconize(wxIconizeEvent& event) {
    wxLogMessage(wxS("CBrowserFrame::OnIconize received: state is going to be %s"),
                 event.IsIconized() ? wxS("ICONIZED") : wxS("RESTORED"));
    event.Skip();
}

void CBrowserFrame::OnActivate(wxActivateEvent& event) {
    if (!IsIconized() && m_view)
        m_view->Activate(event.GetActive());
    event.Skip();
}

void CBrowserFrame::OnViewCommand(wxCommandEvent& event) {
    if (m_view)
        m_view->GetEventHandler()->ProcessEvent(event);
}
