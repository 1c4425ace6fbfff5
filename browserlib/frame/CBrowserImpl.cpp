#include "browserlib/frame/CBrowserImpl.h"

#include "browserlib/api/NavigationRequest.h"

#include "browserlib/StringConv.h"
#include "browserlib/frame/BrowserFrameGlue.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

#include <climits>
#include <wx/log.h>
#include <wx/window.h>

// nsISupports answers with the nsIWebBrowserChrome face.
NS_INTERFACE_MAP_BEGIN(CBrowserImpl)
NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(nsISupports, nsIWebBrowserChrome)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserChrome)
NS_INTERFACE_MAP_ENTRY(nsIInterfaceRequestor)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserChromeFocus)
NS_INTERFACE_MAP_ENTRY(nsIEmbeddingSiteWindow)
NS_INTERFACE_MAP_ENTRY(nsIWebProgressListener)
NS_INTERFACE_MAP_ENTRY(nsIContextMenuListener)
NS_INTERFACE_MAP_ENTRY(nsIRequestObserver)
NS_INTERFACE_MAP_ENTRY(nsIURIContentListener)
NS_INTERFACE_MAP_ENTRY(nsIClipboardDragDropHooks)
NS_INTERFACE_MAP_ENTRY(nsIBrowserKeyListener)
NS_INTERFACE_MAP_ENTRY(nsIRendererListener)
NS_INTERFACE_MAP_ENTRY(nsISupportsWeakReference)
NS_INTERFACE_MAP_END

nsrefcnt CBrowserImpl::Release() {
    const nsrefcnt count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

nsresult CBrowserImpl::Init(BrowserFrameGlue* glue, nsIWebBrowser* webBrowser) {
    m_glue = glue;
    return SetWebBrowser(webBrowser);
}

nsresult CBrowserImpl::GetInterface(const nsIID& iid, void** result) {
    if (iid.Equals(NS_GET_IID(nsIDOMWindow))) {
        if (!mWebBrowser)
            return NS_ERROR_NOT_INITIALIZED;
        if (!result)
            return NS_ERROR_NULL_POINTER;
        return mWebBrowser->GetContentDOMWindow(reinterpret_cast<nsIDOMWindow**>(result));
    }
    return QueryInterface(iid, result);
}

nsresult CBrowserImpl::SetStatus(PRUint32, const PRUnichar* status) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->UpdateStatusBarText(status);
    return NS_OK;
}

nsresult CBrowserImpl::GetWebBrowser(nsIWebBrowser** browser) {
    if (!browser)
        return NS_ERROR_NULL_POINTER;
    *browser = mWebBrowser.get();
    NS_IF_ADDREF(*browser);
    return NS_OK;
}

nsresult CBrowserImpl::SetWebBrowser(nsIWebBrowser* browser) {
    mWebBrowser = browser;
    return NS_OK;
}

nsresult CBrowserImpl::GetChromeFlags(PRUint32*) {
    return NS_ERROR_NOT_IMPLEMENTED;
}
nsresult CBrowserImpl::SetChromeFlags(PRUint32) {
    return NS_ERROR_NOT_IMPLEMENTED;
}

nsresult CBrowserImpl::DestroyBrowserWindow() {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->DestroyBrowserFrame();
    return NS_OK;
}

nsresult CBrowserImpl::SizeBrowserTo(PRInt32 cx, PRInt32 cy) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    wxWindow* frame = m_glue->GetBrowserFrameNativeWnd();
    if (!frame)
        return NS_OK;
    const wxSize outer = frame->GetSize(), inner = frame->GetClientSize();
    m_glue->SetBrowserFrameSize(cx + (outer.x - inner.x), cy + (outer.y - inner.y));
    return NS_OK;
}

nsresult CBrowserImpl::ShowAsModal() {
    return NS_ERROR_NOT_IMPLEMENTED;
}

nsresult CBrowserImpl::IsWindowModal(PRBool* modal) {
    if (!modal)
        return NS_ERROR_NULL_POINTER;
    *modal = false;
    return NS_OK;
}

nsresult CBrowserImpl::ExitModalEventLoop(nsresult) {
    return NS_OK;
}
nsresult CBrowserImpl::FocusNextElement() {
    return NS_ERROR_NOT_IMPLEMENTED;
}
nsresult CBrowserImpl::FocusPrevElement() {
    return NS_ERROR_NOT_IMPLEMENTED;
}

nsresult CBrowserImpl::SetDimensions(PRUint32 flags, PRInt32 x, PRInt32 y, PRInt32 cx, PRInt32 cy) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    const bool position = flags & DIM_FLAGS_POSITION;
    const bool size = flags & (DIM_FLAGS_SIZE_INNER | DIM_FLAGS_SIZE_OUTER);
    if (position && size)
        m_glue->SetBrowserFramePositionAndSize(x, y, cx, cy, true);
    else if (position)
        m_glue->SetBrowserFramePosition(x, y);
    else if (size)
        m_glue->SetBrowserFrameSize(cx, cy);
    return NS_OK;
}

nsresult CBrowserImpl::GetDimensions(PRUint32 flags, PRInt32* x, PRInt32* y, PRInt32* cx,
                                     PRInt32* cy) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    if (flags & DIM_FLAGS_POSITION)
        m_glue->GetBrowserFramePosition(x, y);
    if (flags & (DIM_FLAGS_SIZE_INNER | DIM_FLAGS_SIZE_OUTER))
        m_glue->GetBrowserFrameSize(cx, cy);
    return NS_OK;
}

nsresult CBrowserImpl::SetFocus() {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->SetFocus();
    return NS_OK;
}

nsresult CBrowserImpl::GetVisibility(PRBool* visible) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->GetBrowserFrameVisibility(visible);
    return NS_OK;
}

nsresult CBrowserImpl::SetVisibility(PRBool visible) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->ShowBrowserFrame(visible);
    return NS_OK;
}

nsresult CBrowserImpl::GetTitle(PRUnichar** title) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->GetBrowserFrameTitle(title);
    return NS_OK;
}

nsresult CBrowserImpl::SetTitle(const PRUnichar* title) {
    if (!m_glue)
        return NS_ERROR_FAILURE;
    m_glue->SetBrowserFrameTitle(title);
    return NS_OK;
}

nsresult CBrowserImpl::GetSiteWindow(void** siteWindow) {
    if (!siteWindow)
        return NS_ERROR_NULL_POINTER;
    *siteWindow = nullptr;
    if (m_glue)
        *siteWindow = static_cast<void*>(m_glue->GetBrowserFrameNativeWnd());
    return NS_OK;
}

nsresult CBrowserImpl::OnStateChange(nsIWebProgress*, nsIRequest* request, PRUint32 flags,
                                     nsresult) {
    if (!m_glue)
        return NS_OK;
    if ((flags & STATE_START) && (flags & STATE_IS_DOCUMENT)) {
        m_glue->OnBeforeNavigate(request);
        m_glue->UpdateBusyState(true);
    }
    if ((flags & STATE_STOP) && (flags & STATE_IS_DOCUMENT)) {
        m_glue->UpdateBusyState(false);
        m_glue->UpdateProgress(0, 100);
        m_glue->UpdateStatusBarText(nullptr);
        m_glue->OnNavigateComplete(request);
    }
    return NS_OK;
}

nsresult CBrowserImpl::OnProgressChange(nsIWebProgress*, nsIRequest*, PRInt32, PRInt32,
                                        PRInt32 curTotal, PRInt32 maxTotal) {
    if (!m_glue)
        return NS_OK;
    const PRInt32 max = maxTotal == 0 ? INT_MAX : maxTotal;
    m_glue->UpdateProgress(curTotal > max ? max : curTotal, max);
    return NS_OK;
}

nsresult CBrowserImpl::OnLocationChange(nsIWebProgress* progress, nsIRequest*, nsIURI* location) {
    if (!m_glue)
        return NS_OK;
    if (progress) {
        nsCOMPtr<nsIDOMWindow> window, top;
        progress->GetDOMWindow(getter_AddRefs(window));
        if (window)
            window->GetTop(getter_AddRefs(top));
        if (window.get() != top.get())
            return NS_OK; // a sub-frame's location is not the page's
    }
    m_glue->UpdateCurrentURI(location);
    return NS_OK;
}

nsresult CBrowserImpl::OnStatusChange(nsIWebProgress*, nsIRequest*, nsresult,
                                      const PRUnichar* message) {
    if (m_glue)
        m_glue->UpdateStatusBarText(message);
    return NS_OK;
}

nsresult CBrowserImpl::OnSecurityChange(nsIWebProgress*, nsIRequest*, PRUint32 state) {
    if (m_glue)
        m_glue->UpdateSecurityStatus(static_cast<PRInt32>(state));
    return NS_OK;
}

nsresult CBrowserImpl::OnShowContextMenu(PRUint32 flags, nsIDOMEvent*, nsIDOMNode* node) {
    if (m_glue)
        m_glue->ShowContextMenu(flags, node);
    return NS_OK;
}

nsresult CBrowserImpl::OnStartRequest(nsIRequest*, nsISupports*) {
    return NS_OK;
}
nsresult CBrowserImpl::OnStopRequest(nsIRequest*, nsISupports*, nsresult) {
    return NS_OK;
}

nsresult CBrowserImpl::OnRendererLost(const char* reason, PRBool repeated, PRBool* reload) {
    if (!reload)
        return NS_ERROR_NULL_POINTER;
    wxLogError(wxS("CBrowserImpl: the page's renderer ended (%s)%s"),
               wxString::FromUTF8(reason ? reason : ""),
               repeated ? wxS(", again and again") : wxS(": the page is loaded again"));
    if (repeated && m_glue)
        *reload = m_glue->AskReloadAfterCrashes();
    return NS_OK;
}

nsresult CBrowserImpl::OnKey(const char* name, PRUint32 modifiers, PRBool* handled) {
    if (!handled)
        return NS_ERROR_NULL_POINTER;
    *handled = m_glue && name && m_glue->OnBrowserKey(wxString::FromUTF8(name), modifiers);
    return NS_OK;
}

nsresult CBrowserImpl::OnStartURIOpen(nsIURI* uri, PRBool* abort) {
    if (!uri)
        return NS_OK;
    if (!abort)
        return NS_ERROR_NULL_POINTER;
    if (!m_glue)
        return NS_ERROR_FAILURE;
    char* spec = nullptr;
    uri->GetSpec(&spec);
    NavigationRequest request;
    request.url = StringConv::FromNarrow(spec);
    nsMemory::Free(spec);
    nsCOMPtr<nsINavigationInfo> info = do_QueryInterface<nsINavigationInfo>(mWebBrowser);
    if (info) {
        PRInt32 kind = nsINavigationInfo::frameUnknown;
        PRBool later = false, byUser = false, post = false;
        info->GetFrameKind(&kind);
        info->GetFrameLater(&later);
        info->GetUserGesture(&byUser);
        info->GetFormPost(&post);
        request.frame = kind == nsINavigationInfo::frameMain  ? NavigationRequest::Frame::Main
                        : kind == nsINavigationInfo::frameSub ? NavigationRequest::Frame::Sub
                                                              : NavigationRequest::Frame::Unknown;
        request.frameLater = later;
        request.userGesture = byUser;
        request.formPost = post;
    }
    if (nsCOMPtr<nsIWebNavigation> navigation = do_QueryInterface<nsIWebNavigation>(mWebBrowser)) {
        nsCOMPtr<nsIURI> current;
        char* shown = nullptr;
        if (NS_SUCCEEDED(navigation->GetCurrentURI(getter_AddRefs(current))) && current &&
            NS_SUCCEEDED(current->GetSpec(&shown))) {
            request.pageUrl = StringConv::FromNarrow(shown);
            nsMemory::Free(shown);
        }
    }
    *abort = m_glue->OnStartURIOpen(request);
    if (*abort && request.decideWithFrame && info)
        info->SetDecideWithFrame(true);
    return NS_OK;
}

nsresult CBrowserImpl::DoContent(const char*, PRBool, nsIRequest*, nsIStreamListener**, PRBool*) {
    return NS_ERROR_NOT_IMPLEMENTED;
}

nsresult CBrowserImpl::IsPreferred(const char* contentType, char** desired, PRBool* canHandle) {
    return CanHandleContent(contentType, true, desired, canHandle);
}

nsresult CBrowserImpl::CanHandleContent(const char* contentType, PRBool, char**,
                                        PRBool* canHandle) {
    if (!canHandle)
        return NS_ERROR_NULL_POINTER;
    *canHandle = false;
    if (!contentType)
        return NS_OK;
    nsresult rv = NS_OK;
    nsCOMPtr<nsICategoryManager> categories =
        do_GetService<nsICategoryManager>("@mozilla.org/categorymanager;1", &rv);
    if (!categories)
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    char* value = nullptr;
    rv = categories->GetCategoryEntry("Gecko-Content-Viewers", contentType, &value);
    if (NS_FAILED(rv) && rv != NS_ERROR_NOT_AVAILABLE)
        return rv;
    if (value && *value)
        *canHandle = true;
    nsMemory::Free(value);
    return NS_OK;
}

nsresult CBrowserImpl::GetLoadCookie(nsISupports**) {
    return NS_ERROR_NOT_IMPLEMENTED;
}
nsresult CBrowserImpl::SetLoadCookie(nsISupports*) {
    return NS_ERROR_NOT_IMPLEMENTED;
}
nsresult CBrowserImpl::GetParentContentListener(nsIURIContentListener**) {
    return NS_ERROR_NOT_IMPLEMENTED;
}
nsresult CBrowserImpl::SetParentContentListener(nsIURIContentListener*) {
    return NS_ERROR_NOT_IMPLEMENTED;
}

nsresult CBrowserImpl::AllowStartDrag(nsIDOMEvent*, PRBool* allow) {
    wxLogMessage(wxS("AllowStartDrag"));
    if (allow)
        *allow = false;
    return NS_OK;
}

nsresult CBrowserImpl::AllowDrop(nsIDOMEvent*, nsIDragSession*, PRBool*) {
    wxLogMessage(wxS("AllowDrop"));
    return NS_OK;
}

nsresult CBrowserImpl::OnCopyOrDrag(nsIDOMEvent*, nsITransferable*, PRBool*) {
    wxLogMessage(wxS("OnCopyOrDrag"));
    return NS_OK;
}

nsresult CBrowserImpl::OnPasteOrDrop(nsIDOMEvent*, nsITransferable*, PRBool*) {
    wxLogMessage(wxS("OnPasteOrDrop"));
    return NS_OK;
}
