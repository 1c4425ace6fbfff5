#include "browserlib/frame/CBrowserView.h"

#include "browserlib/MozillaFacade.h"
#include "browserlib/StringConv.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/BrowserFrameGlueObj.h"
#include "browserlib/frame/BrowserKeys.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/frame/CBrowserImpl.h"
#include "browserlib/runtime/xpcom/EventQueue.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "browserlib/services/CPrintProgressDialog.h"
#include "config/HostConfig.h"
#include <wx/textdlg.h>

#include <wx/app.h>
#include <wx/colour.h>
#include <wx/log.h>
#include <wx/timer.h>

namespace {
const int kCommandIds[] = {32773, 32774, 32775, 32776, 32777, 32778, 32780, 32781, 32782,
                           32783, 32784, 32785, 32786, 32789, 32790, 32791, 32792, 32813,
                           32814, 32815, 32816, 32817, 32818, 32819, 32820, 32821};

// The engine's deferred work (a page agreeing to close, a window to destroy)
// runs as soon as the loop is free. Idle time alone is not enough: a busy page,
// polling its server or painting, can hold it off until the next input event.
class DeferredWorkTimer : public wxTimer {
public:
    void Notify() override { EventQueue::Main().ProcessPendingEvents(); }
};

void WakeUpDeferredWork() {
    static DeferredWorkTimer* timer = new DeferredWorkTimer; // as long as the process
    if (!timer->IsRunning())
        timer->StartOnce(1);
}
} // namespace

CBrowserView::CBrowserView(CBrowserFrame* frame, BrowserFrameGlueObj* glue)
    : m_frame(frame), m_glue(glue) {}

CBrowserView::~CBrowserView() {
    DestroyBrowser();
}

bool CBrowserView::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                          long style, const wxString& name) {
    if (!wxScrolledWindow::Create(parent, id, pos, size, style, name))
        return false;
    Bind(wxEVT_SIZE, &CBrowserView::OnSize, this);
    Bind(wxEVT_IDLE, &CBrowserView::OnIdle, this);
    for (int command : kCommandIds) {
        Bind(wxEVT_MENU, &CBrowserView::OnCommand, this, command);
        Bind(wxEVT_UPDATE_UI, &CBrowserView::OnUpdateCommand, this, command);
    }
    EventQueue::SetWakeUp(WakeUpDeferredWork);
    if (NS_FAILED(CreateBrowser()))
        wxLogError(wxS("CBrowserView::CreateBrowser failed"));
    return true;
}

nsresult CBrowserView::CreateBrowser() {
    wxLogMessage(wxS("CBrowserView::CreateBrowser: %d"), GetId());
    nsresult rv = NS_OK;
    nsCOMPtr<nsIEventQueueService> queues =
        do_GetService<nsIEventQueueService>(EventQueueService::CID(), &rv);
    if (!queues) {
        wxLogError(wxS("Failed to create EventQueueService!\n"));
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    }
    queues->GetThreadEventQueue(NS_CURRENT_THREAD, getter_AddRefs(m_eventQueue));
    if (!m_eventQueue) {
        wxLogError(wxS("Failed to create EventQueue!\n"));
        return NS_OK;
    }
    mWebBrowser =
        do_CreateInstance<nsIWebBrowser>("@mozilla.org/embedding/browser/nsWebBrowser;1", &rv);
    if (!mWebBrowser) {
        wxLogError(wxS("CBrowserView::CreateBrowser do_CreateInstance failed"));
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    }
    mWebNav = do_QueryInterface<nsIWebNavigation>(mWebBrowser);
    if (!mWebNav) {
        wxLogError(wxS("CBrowserView::CreateBrowser do_QueryInterface(mWebBrowser) failed"));
        return NS_NOINTERFACE;
    }
    m_chrome = new CBrowserImpl;
    m_chrome->Init(m_glue, mWebBrowser);
    m_chrome->AddRef();
    mWebBrowser->SetContainerWindow(static_cast<nsIWebBrowserChrome*>(m_chrome));

    nsCOMPtr<nsIDocShellTreeItem> item = do_QueryInterface<nsIDocShellTreeItem>(mWebBrowser);
    if (!item) {
        wxLogError(wxS("CBrowserView::CreateBrowser do_QueryInterface(mWebBrowser) failed"));
        return NS_NOINTERFACE;
    }
    item->SetItemType(nsIDocShellTreeItem::typeContentWrapper);

    mBaseWindow = do_QueryInterface<nsIBaseWindow>(mWebBrowser);
    if (!mBaseWindow) {
        wxLogError(
            wxS("CBrowserView::CreateBrowser mBaseWindow = do_QueryInterface(mWebBrowser) failed"));
        return NS_NOINTERFACE;
    }
    const wxSize client = GetClientSize();
    rv = mBaseWindow->InitWindow(static_cast<wxWindow*>(this), nullptr, 0, 0, client.x, client.y);
    if (NS_FAILED(rv)) {
        wxLogError(wxS("CBrowserView::CreateBrowser mBaseWindow->InitWindow failed"));
        return rv;
    }
    rv = mBaseWindow->Create();
    if (NS_FAILED(rv)) {
        wxLogError(wxS("CBrowserView::CreateBrowser mBaseWindow->Create() failed"));
        return rv;
    }

    nsCOMPtr<nsIWeakReference> listener =
        NS_GetWeakReference(static_cast<nsIWebProgressListener*>(m_chrome));
    mWebBrowser->AddWebBrowserListener(listener, NS_GET_IID(nsIWebProgressListener));

    nsCOMPtr<nsIDOMWindow> window;
    mWebBrowser->GetContentDOMWindow(getter_AddRefs(window));
    if (window) {
        nsCOMPtr<nsIScriptGlobalObject> global = do_QueryInterface<nsIScriptGlobalObject>(window);
        if (global && global->GetDocShell())
            global->GetDocShell()->SetParentURIContentListener(
                static_cast<nsIURIContentListener*>(m_chrome));
    }
    if (HostConfig* config = m_frame->GetHostConfig()) {
        SetBackgroundColour(wxColour(config->GetBGColor()));
        if (nsCOMPtr<nsIWebBrowserSetup> setup = do_QueryInterface<nsIWebBrowserSetup>(mWebBrowser))
            setup->SetProperty(nsIWebBrowserSetup::SETUP_CONTEXT_MENU,
                               config->GetContextMenu() == wxS("engine")
                                   ? nsIWebBrowserSetup::CONTEXT_MENU_ENGINE
                               : config->GetContextMenu() == wxS("none")
                                   ? nsIWebBrowserSetup::CONTEXT_MENU_NONE
                                   : nsIWebBrowserSetup::CONTEXT_MENU_APPLICATION);
    }
    mBaseWindow->SetVisibility(true);
    if (m_frame->GetHostConfig() && !m_frame->GetHostConfig()->IsDragDropAllowed() && window)
        RunDragDropHookCommand("addhook");
    return NS_OK;
}

void CBrowserView::AskPageToClose(std::function<void(bool mayClose)> done) {
    nsCOMPtr<nsIPageCloser> closer = do_QueryInterface<nsIPageCloser>(mWebBrowser);
    if (!closer || NS_FAILED(closer->TryClose(done)))
        done(true);
}

void CBrowserView::SetZoomPercent(int percent) {
    m_zoomPercent = percent;
    nsCOMPtr<nsIWebBrowserSetup> setup = do_QueryInterface<nsIWebBrowserSetup>(mWebBrowser);
    if (setup)
        setup->SetProperty(nsIWebBrowserSetup::SETUP_ZOOM_PERCENT, static_cast<PRUint32>(percent));
    wxLogMessage(wxS("CBrowserView::SetZoomPercent %d%%"), percent);
}

bool CBrowserView::OnBrowserKey(const wxString& name, unsigned modifiers) {
    HostConfig* config = m_frame ? m_frame->GetHostConfig() : nullptr;
    if (!mWebBrowser || (config && !config->AreBrowserKeysOn()))
        return false;
    const BrowserKeys::Action action = BrowserKeys::ActionFor(name, modifiers, m_finding);
    if (action == BrowserKeys::Action::None)
        return false;
    wxLogMessage(wxS("CBrowserView::OnBrowserKey %s%s%s%s"),
                 modifiers & BrowserKeys::Ctrl ? wxS("ctrl+") : wxS(""),
                 modifiers & BrowserKeys::Alt ? wxS("alt+") : wxS(""),
                 modifiers & BrowserKeys::Shift ? wxS("shift+") : wxS(""), name);
    nsCOMPtr<nsIWebNavigation> navigation = do_QueryInterface<nsIWebNavigation>(mWebBrowser);
    nsCOMPtr<nsIWebBrowserSetup> setup = do_QueryInterface<nsIWebBrowserSetup>(mWebBrowser);
    nsCOMPtr<nsIWebBrowserFind> find = do_QueryInterface<nsIWebBrowserFind>(mWebBrowser);
    switch (action) {
    case BrowserKeys::Action::Reload:
        if (navigation)
            navigation->Reload(0);
        break;
    case BrowserKeys::Action::Back:
        if (navigation)
            navigation->GoBack();
        break;
    case BrowserKeys::Action::Forward:
        if (navigation)
            navigation->GoForward();
        break;
    case BrowserKeys::Action::ZoomIn:
    case BrowserKeys::Action::ZoomOut:
    case BrowserKeys::Action::ZoomReset:
        m_zoomPercent =
            BrowserKeys::NextZoom(m_zoomPercent, action == BrowserKeys::Action::ZoomIn    ? 1
                                                 : action == BrowserKeys::Action::ZoomOut ? -1
                                                                                          : 0);
        if (setup)
            setup->SetProperty(nsIWebBrowserSetup::SETUP_ZOOM_PERCENT,
                               static_cast<PRUint32>(m_zoomPercent));
        wxLogMessage(wxS("CBrowserView::OnBrowserKey zoom %d%%"), m_zoomPercent);
        break;
    case BrowserKeys::Action::Find:
        // Not inside the engine's key callback: the dialog runs an event loop.
        CallAfter([this] { AskAndFind(); });
        break;
    case BrowserKeys::Action::FindNext:
    case BrowserKeys::Action::FindPrevious:
        if (m_findText.empty()) {
            CallAfter([this] { AskAndFind(); });
        } else if (find) {
            m_finding = true;
            const std::u16string text = StringConv::ToUnicode(m_findText);
            find->Find(text.c_str(), action == BrowserKeys::Action::FindPrevious);
        }
        break;
    case BrowserKeys::Action::EndFind:
        m_finding = false;
        if (find)
            find->Find(u"", false);
        break;
    case BrowserKeys::Action::None:
        break;
    }
    return true;
}

void CBrowserView::AskAndFind() {
    HostConfig* config = m_frame ? m_frame->GetHostConfig() : nullptr;
    const bool german = config && config->GetUILanguage().Lower() == wxS("de");
    wxTextEntryDialog ask(wxGetTopLevelParent(this), german ? wxS("Suchen nach:") : wxS("Find:"),
                          german ? wxS("Im Dokument suchen") : wxS("Find in page"), m_findText);
    if (ask.ShowModal() != wxID_OK || !mWebBrowser)
        return;
    nsCOMPtr<nsIWebBrowserFind> find = do_QueryInterface<nsIWebBrowserFind>(mWebBrowser);
    m_findText = ask.GetValue();
    m_finding = !m_findText.empty();
    wxLogMessage(wxS("CBrowserView::AskAndFind '%s'"), m_findText);
    if (find) {
        const std::u16string text = StringConv::ToUnicode(m_findText);
        find->Find(text.c_str(), false);
    }
}

void CBrowserView::RunDragDropHookCommand(const char* which) {
    nsCOMPtr<nsIDOMWindow> window;
    mWebBrowser->GetContentDOMWindow(getter_AddRefs(window));
    nsCOMPtr<nsIInterfaceRequestor> requestor =
        do_QueryInterface<nsIInterfaceRequestor>(mWebBrowser);
    nsCOMPtr<nsICommandManager> commands;
    if (requestor)
        requestor->GetInterface(NS_GET_IID(nsICommandManager), commands.StartAssignmentVoid());
    nsCOMPtr<nsICommandParams> params =
        do_CreateInstance<nsICommandParams>("@mozilla.org/embedcomp/command-params;1");
    if (!window || !commands || !params)
        return;
    params->SetISupportsValue(which, static_cast<nsIClipboardDragDropHooks*>(m_chrome));
    commands->DoCommand("cmd_clipboardDragDropHook", params, window);
}

nsresult CBrowserView::DestroyBrowser() {
    if (m_browserDestroyed)
        return NS_OK;
    m_browserDestroyed = true;
    wxLogMessage(wxS("CBrowserView::DestroyBrowser: %d"), GetId());
    if (m_frame && m_frame->GetHostConfig() && !m_frame->GetHostConfig()->IsDragDropAllowed() &&
        mWebBrowser && m_chrome)
        RunDragDropHookCommand("removehook");
    if (mWebNav) {
        mWebNav->Stop(nsIWebNavigation::STOP_ALL);
        mWebNav = nullptr;
    }
    if (m_chrome) {
        m_chrome->Release();
        m_chrome = nullptr;
    }
    if (mBaseWindow) {
        mBaseWindow->Destroy();
        mBaseWindow = nullptr;
    }
    mWebBrowser = nullptr;
    m_frame = nullptr;
    return NS_OK;
}

void CBrowserView::ReleaseEngine() {
    if (mWebNav) {
        mWebNav->Stop(nsIWebNavigation::STOP_ALL);
        mWebNav = nullptr;
    }
    if (mBaseWindow) {
        mBaseWindow->Destroy();
        mBaseWindow = nullptr;
    }
}

void CBrowserView::LoadURL(const wxString& url) {
    if (!mWebNav)
        return;
    const std::u16string text = StringConv::ToUnicode(url);
    mWebNav->LoadURI(text.c_str(), nsIWebNavigation::LOAD_FLAGS_NONE, nullptr, nullptr, nullptr);
}

void CBrowserView::Activate(bool active) {
    wxLogMessage(wxS("Activate %s"), active ? wxS("true") : wxS("false"));
    nsCOMPtr<nsIWebBrowserFocus> focus = do_QueryInterface<nsIWebBrowserFocus>(mWebBrowser);
    if (!focus)
        return;
    if (active && !m_active)
        focus->Activate();
    else if (!active && m_active)
        focus->Deactivate();
    m_active = active;
}

void CBrowserView::OnSize(wxSizeEvent& event) {
    wxLogMessage(wxS("OnSize"));
    if (!m_frame) {
        wxLogError(wxS("CBrowserView::OnSize without parent frame detected"));
        event.Skip();
        return;
    }
    const wxSize size = event.GetSize();
    if (m_frame->Options().sizebrowser && mBaseWindow)
        mBaseWindow->SetSize(size.x + 16, size.y, true);
    else if (m_frame->FillsFrame() && mBaseWindow)
        mBaseWindow->SetSize(size.x, size.y, true);
    if (m_frame->Options().center && m_frame->IsHosted() && m_frame->GetHostConfig() &&
        !m_frame->FillsFrame())
        CentreBrowser(size, m_frame->GetHostConfig()->GetBrowserWindowRect());
    event.Skip();
}

void CBrowserView::CentreBrowser(const wxSize& parentSize, const wxRect& browserRect) {
    wxLogMessage(
        wxS("CBrowserView::CentreBrowser with parentSize x=%d, y=%d, browserRect={%d,%d,%d,%d}"),
        parentSize.x, parentSize.y, browserRect.x, browserRect.y,
        browserRect.x + browserRect.width - 1, browserRect.y + browserRect.height - 1);
    if (!mBaseWindow)
        return;
    PRInt32 oldX = 0, oldY = 0;
    mBaseWindow->GetPosition(&oldX, &oldY);
    const int ew = browserRect.width - browserRect.x;
    const int eh = browserRect.height - browserRect.y;
    const int newX = parentSize.x > ew ? (parentSize.x - ew) >> 1 : 0;
    const int newY = parentSize.y > eh ? (parentSize.y - eh) >> 1 : 0;
    mBaseWindow->SetPosition(newX, newY);
    if (newX != oldX || newY != oldY)
        Refresh(true);
}

void CBrowserView::OnIdle(wxIdleEvent& event) {
    if (m_eventQueue)
        m_eventQueue->ProcessPendingEvents();
    event.Skip();
}

void CBrowserView::Print() {
    if (nsCOMPtr<nsIPref> prefs = do_GetService<nsIPref>("@mozilla.org/preferences;1")) {
        prefs->SetBoolPref("print.use_native_print_dialog", true);
        prefs->SetBoolPref("print.show_print_progress", false);
    }
    nsCOMPtr<nsIWebBrowserPrint> print = do_QueryInterface<nsIWebBrowserPrint>(mWebBrowser);
    if (!print)
        return;
    auto* dialog = new CPrintProgressDialog(nullptr, mWebBrowser, m_printSettings);
    m_printing = true;
    dialog->DoModal();
    m_printing = false;
    dialog->Destroy();
}

void CBrowserView::PrintPreview(bool on) {
    nsCOMPtr<nsIWebBrowserPrint> print = do_QueryInterface<nsIWebBrowserPrint>(mWebBrowser);
    if (!print)
        return;
    if (on)
        print->PrintPreview(m_printSettings, nullptr, nullptr);
    else
        print->ExitPrintPreview();
}

void CBrowserView::ViewSource() {
    if (!mWebNav)
        return;
    nsCOMPtr<nsIURI> uri;
    char* spec = nullptr;
    if (NS_FAILED(mWebNav->GetCurrentURI(getter_AddRefs(uri))) || !uri ||
        NS_FAILED(uri->GetSpec(&spec)))
        return;
    const wxString url = wxS("view-source:") + StringConv::FromNarrow(spec);
    nsMemory::Free(spec);
    BrowserFrameOptions params;
    params.chromeFlags = 0x40A;
    params.name = wxS("View source");
    MozillaFacade* facade = MozillaFacade::GetFacade();
    if (!facade)
        return;
    IMozillaHost* host = facade->GetHost() ? facade->GetHost() : ZeroHost::Get();
    if (CBrowserFrame* frame = facade->CreateNewBrowserFrame(
            wxTheApp ? wxTheApp->GetTopWindow() : nullptr, host, params))
        frame->LoadURL(url);
}

void CBrowserView::OnCommand(wxCommandEvent& event) {
    nsCOMPtr<nsIClipboardCommands> clipboard = do_QueryInterface<nsIClipboardCommands>(mWebBrowser);
    switch (event.GetId()) {
    case CBrowserFrame::ID_BACK:
        if (mWebNav)
            mWebNav->GoBack();
        break;
    case CBrowserFrame::ID_FORWARD:
        if (mWebNav)
            mWebNav->GoForward();
        break;
    case CBrowserFrame::ID_HOME:
        if (m_frame && !m_frame->Options().url.empty())
            LoadURL(m_frame->Options().url);
        break;
    case CBrowserFrame::ID_RELOAD:
        if (mWebNav)
            mWebNav->Reload(0);
        break;
    case CBrowserFrame::ID_STOP:
        if (mWebNav)
            mWebNav->Stop(nsIWebNavigation::STOP_ALL);
        break;
    case CBrowserFrame::ID_VIEW_SOURCE:
        ViewSource();
        break;
    case CBrowserFrame::ID_CUT:
        if (clipboard)
            clipboard->CutSelection();
        break;
    case CBrowserFrame::ID_COPY:
        if (clipboard)
            clipboard->CopySelection();
        break;
    case CBrowserFrame::ID_PASTE:
        if (clipboard)
            clipboard->Paste();
        break;
    case CBrowserFrame::ID_SELECT_ALL:
        if (clipboard)
            clipboard->SelectAll();
        break;
    case CBrowserFrame::ID_SELECT_NONE:
        if (clipboard)
            clipboard->SelectNone();
        break;
    case CBrowserFrame::ID_PRINT:
        Print();
        break;
    case CBrowserFrame::ID_PRINT_PREVIEW:
        PrintPreview(true);
        break;
    default:
        break;
    }
}

void CBrowserView::OnUpdateCommand(wxUpdateUIEvent& event) {
    nsCOMPtr<nsIClipboardCommands> clipboard = do_QueryInterface<nsIClipboardCommands>(mWebBrowser);
    PRBool can = false;
    switch (event.GetId()) {
    case CBrowserFrame::ID_BACK:
        if (mWebNav)
            mWebNav->GetCanGoBack(&can);
        event.Enable(can);
        break;
    case CBrowserFrame::ID_FORWARD:
        if (mWebNav)
            mWebNav->GetCanGoForward(&can);
        event.Enable(can);
        break;
    case CBrowserFrame::ID_STOP:
        event.Enable(m_busy > 0);
        break;
    case CBrowserFrame::ID_CUT:
        if (clipboard)
            clipboard->CanCutSelection(&can);
        event.Enable(can);
        break;
    case CBrowserFrame::ID_COPY:
        if (clipboard)
            clipboard->CanCopySelection(&can);
        event.Enable(can);
        break;
    case CBrowserFrame::ID_PASTE:
        if (clipboard)
            clipboard->CanPaste(&can);
        event.Enable(can);
        break;
    case CBrowserFrame::ID_PRINT:
        event.Enable(!m_printing);
        break;
    case CBrowserFrame::ID_HOME:
    case CBrowserFrame::ID_RELOAD:
    case CBrowserFrame::ID_VIEW_SOURCE:
    case CBrowserFrame::ID_SELECT_ALL:
    case CBrowserFrame::ID_SELECT_NONE:
    case CBrowserFrame::ID_PRINT_PREVIEW:
        event.Enable(true);
        break;
    default:
        break;
    }
}
