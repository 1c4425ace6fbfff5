#include "browserlib/frame/BrowserFrameGlueObj.h"

#include "browserlib/api/NavigationRequest.h"
#include "browserlib/frame/WindowPlacement.h"

#include "browserlib/MozillaFacade.h"
#include "browserlib/StringConv.h"
#include "browserlib/api/IHtmlControlNavigationListener.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/frame/CBrowserView.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "browserlib/services/CPromptService.h"
#include "config/HostConfig.h"

#include <wx/msgdlg.h>

#include <wx/log.h>

namespace {
wxString RequestName(nsIRequest* request) {
    char* name = nullptr;
    if (!request || NS_FAILED(request->GetName(&name)))
        return wxString();
    const wxString result = StringConv::FromNarrow(name);
    nsMemory::Free(name);
    return result;
}
} // namespace

void BrowserFrameGlueObj::OnBeforeNavigate(nsIRequest* request) {
    const wxString name = RequestName(request);
    wxLogMessage(wxS("BrowserFrameGlueObj::OnBeforeNavigate: %s"), name);
    m_frame->GetView()->ClearNavigationContent();
    if (IHtmlControlNavigationListener* listener = m_frame->Host()->m_NavigationListener)
        listener->OnBeforeNavigate(name);
}

void BrowserFrameGlueObj::OnNavigateComplete(nsIRequest* request) {
    const wxString name = RequestName(request);
    wxLogMessage(wxS("BrowserFrameGlueObj::OnNavigateComplete: %s"), name);
    m_frame->GetView()->ClearDocumentContent();
    if (IHtmlControlNavigationListener* listener = m_frame->Host()->m_NavigationListener)
        listener->OnDocumentComplete(name);
}

void BrowserFrameGlueObj::UpdateStatusBarText(const PRUnichar* text) {
    wxLogMessage(wxS("BrowserFrameGlueObj::UpdateStatusBarText: %s"),
                 StringConv::FromUnicode(text));
}

void BrowserFrameGlueObj::UpdateProgress(PRInt32 progress, PRInt32 progressMax) {
    m_progress = progress;
    m_progressMax = progressMax;
}

void BrowserFrameGlueObj::UpdateBusyState(PRBool busy) {
    wxLogMessage(wxS("BrowserFrameGlueObj::UpdateBusyState: %s"),
                 busy ? wxS("busy") : wxS("not busy"));
    m_frame->GetView()->SetBusy(busy ? 1 : 0);
}

void BrowserFrameGlueObj::UpdateCurrentURI(nsIURI* uri) {
    wxLogMessage(wxS("BrowserFrameGlueObj::UpdateCurrentURI"));
    char* spec = nullptr;
    if (uri && NS_SUCCEEDED(uri->GetSpec(&spec))) {
        m_currentUri = StringConv::FromNarrow(spec);
        nsMemory::Free(spec);
        wxLogMessage(wxS("BrowserFrameGlueObj::UpdateCurrentURI set to %s"), m_currentUri);
    }
}

void BrowserFrameGlueObj::UpdateSecurityStatus(PRInt32) {
    wxLogMessage(wxS("BrowserFrameGlueObj::UpdateSecurityStatus"));
}

PRBool BrowserFrameGlueObj::CreateNewBrowserFrame(PRUint32 chromeMask, PRInt32 x, PRInt32 y,
                                                  PRInt32 cx, PRInt32 cy,
                                                  nsIWebBrowser** webBrowser) {
    if (!webBrowser)
        return false;
    wxLogMessage(wxS("BrowserFrameGlueObj::CreateNewBrowserFrame"));
    *webBrowser = nullptr;
    MozillaFacade* facade = MozillaFacade::GetFacade();
    if (!facade)
        return false;
    BrowserFrameOptions params(chromeMask, x, y, cy, cx);
    params.name = wxS("New window");
    IMozillaHost* host = facade->GetHost() ? facade->GetHost() : ZeroHost::Get();
    CBrowserFrame* frame = facade->CreateNewBrowserFrame(m_frame, host, params);
    if (!frame || !frame->GetView()->GetWebBrowser())
        return false;
    *webBrowser = frame->GetView()->GetWebBrowser();
    (*webBrowser)->AddRef();
    return true;
}

void BrowserFrameGlueObj::DestroyBrowserFrame() {
    wxLogMessage(wxS("BrowserFrameGlueObj::DestroyBrowserFrame"));
    m_frame->GetView()->ReleaseEngine();
    m_frame->Close(false);
}

void BrowserFrameGlueObj::GetBrowserFrameTitle(PRUnichar** title) {
    wxLogMessage(wxS("BrowserFrameGlueObj::GetBrowserFrameTitle"));
    const wxString current = m_frame->GetTitle();
    if (title && !current.empty())
        *title = StringConv::NewUnicode(current);
}

void BrowserFrameGlueObj::SetBrowserFrameTitle(const PRUnichar* title) {
    const wxString text = title ? StringConv::FromUnicode(title) : wxString();
    wxLogMessage(wxS("BrowserFrameGlueObj::SetBrowserFrameTitle: %s"), text);
    if (title)
        m_frame->SetTitle(text);
}

void BrowserFrameGlueObj::GetBrowserFramePosition(PRInt32* x, PRInt32* y) {
    const wxPoint p = m_frame->GetPosition();
    wxLogMessage(wxS("BrowserFrameGlueObj::GetBrowserFramePosition: %d , %d"), p.x, p.y);
    if (x)
        *x = p.x;
    if (y)
        *y = p.y;
}

void BrowserFrameGlueObj::SetBrowserFramePosition(PRInt32 x, PRInt32 y) {
    wxLogMessage(wxS("BrowserFrameGlueObj::SetBrowserFramePosition: %d, %d"), x, y);
    m_frame->Move(x, y);
}

void BrowserFrameGlueObj::GetBrowserFrameSize(PRInt32* cx, PRInt32* cy) {
    const wxSize s = m_frame->GetSize();
    wxLogMessage(wxS("BrowserFrameGlueObj::GetBrowserFrameSize: %d, %d"), s.x, s.y);
    if (cx)
        *cx = s.x;
    if (cy)
        *cy = s.y;
}

void BrowserFrameGlueObj::SetBrowserFrameSize(PRInt32 cx, PRInt32 cy) {
    wxLogMessage(wxS("BrowserFrameGlueObj::SetBrowserFrameSize: %d , %d"), cx, cy);
    const wxRect asked(m_frame->GetPosition(), wxSize(cx, cy));
    m_frame->SetSize(WindowPlacement::Fitted(asked, WindowPlacement::WorkAreaAround(asked)));
}

void BrowserFrameGlueObj::GetBrowserFramePositionAndSize(PRInt32* x, PRInt32* y, PRInt32* cx,
                                                         PRInt32* cy) {
    const wxRect r = m_frame->GetRect();
    wxLogMessage(
        wxS("BrowserFrameGlueObj::GetBrowserFramePositionAndSize: x=%d, y=%d, dx=%d, dy=%d"), r.x,
        r.y, r.width, r.height);
    if (x)
        *x = r.x;
    if (y)
        *y = r.y;
    if (cx)
        *cx = r.width;
    if (cy)
        *cy = r.height;
}

void BrowserFrameGlueObj::SetBrowserFramePositionAndSize(PRInt32 x, PRInt32 y, PRInt32 cx,
                                                         PRInt32 cy, PRBool) {
    wxLogMessage(
        wxS("BrowserFrameGlueObj::SetBrowserFramePositionAndSize: x=%d, y=%d, dx=%d, dy=%d"), x, y,
        cx, cy);
    const wxRect asked(x, y, cx, cy);
    m_frame->SetSize(WindowPlacement::Fitted(asked, WindowPlacement::WorkAreaAround(asked)));
}

void BrowserFrameGlueObj::ShowBrowserFrame(PRBool show) {
    wxLogMessage(wxS("BrowserFrameGlueObj::ShowBrowserFrame: %s"),
                 show ? wxS("true") : wxS("false"));
    if (!m_frame->IsFirstNavigationPending() && !m_frame->IsClosing())
        m_frame->Show(show);
}

void BrowserFrameGlueObj::SetFocus() {}

PRBool BrowserFrameGlueObj::GetBrowserFrameVisibility(PRBool* visible) {
    wxLogMessage(wxS("BrowserFrameGlueObj::GetBrowserFrameVisibility"));
    const bool shown = m_frame->IsShown();
    if (visible)
        *visible = shown;
    return shown;
}

void BrowserFrameGlueObj::ShowContextMenu(PRUint32, nsIDOMNode*) {}

wxWindow* BrowserFrameGlueObj::GetBrowserFrameNativeWnd() {
    wxLogMessage(wxS("BrowserFrameGlueObj::GetBrowserFrameNativeWnd"));
    return m_frame;
}

bool BrowserFrameGlueObj::AskReloadAfterCrashes() {
    HostConfig* config = m_frame->GetHostConfig();
    const bool german = config && config->GetUILanguage().Lower() == wxS("de");
    const wxString text =
        german ? wxString(L"Die Seite ist mehrmals kurz nacheinander abgestürzt.\n\nNeu laden? "
                          L"(Nein beendet das Programm.)")
               : wxString(wxS("The page has crashed several times in a short while.\n\nReload "
                              "it? (No quits the program.)"));
    const int answer = CPromptService::s_messageBox(
        text, german ? wxString(wxS("Fehler")) : wxString(wxS("Error")), wxYES_NO | wxICON_ERROR,
        m_frame);
    wxLogMessage(wxS("BrowserFrameGlueObj::AskReloadAfterCrashes: %s"),
                 answer == wxYES ? wxS("reload") : wxS("quit"));
    return answer == wxYES;
}

bool BrowserFrameGlueObj::OnBrowserKey(const wxString& name, PRUint32 modifiers) {
    CBrowserView* view = m_frame->GetView();
    return view && view->OnBrowserKey(name, modifiers);
}

PRBool BrowserFrameGlueObj::OnStartURIOpen(NavigationRequest& request) {
    wxLogMessage(wxS("BrowserFrameGlueObj::OnStartURIOpen: %s"), request.url);
    return m_frame->OnStartURIOpen(request);
}
