#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsWeakReference.h"

class BrowserFrameGlue;

// The chrome around one browser: the engine's calls about the window, its
// progress and its navigations, forwarded to the frame's glue.
class CBrowserImpl : public nsIInterfaceRequestor,
                     public nsIWebBrowserChrome,
                     public nsIWebBrowserChromeFocus,
                     public nsIEmbeddingSiteWindow,
                     public nsIWebProgressListener,
                     public nsIContextMenuListener,
                     public nsIRequestObserver,
                     public nsIURIContentListener,
                     public nsIClipboardDragDropHooks,
                     public nsIBrowserKeyListener,
                     public nsIRendererListener,
                     public nsSupportsWeakReference {
public:
    CBrowserImpl() = default;

    nsresult QueryInterface(const nsIID& iid, void** result) override;
    nsrefcnt AddRef() override { return ++m_refCount; }
    nsrefcnt Release() override;

    nsresult Init(BrowserFrameGlue* glue, nsIWebBrowser* webBrowser);

    // nsIInterfaceRequestor
    nsresult GetInterface(const nsIID& iid, void** result) override;
    // nsIWebBrowserChrome
    nsresult SetStatus(PRUint32 statusType, const PRUnichar* status) override;
    nsresult GetWebBrowser(nsIWebBrowser** browser) override;
    nsresult SetWebBrowser(nsIWebBrowser* browser) override;
    nsresult GetChromeFlags(PRUint32* flags) override;
    nsresult SetChromeFlags(PRUint32 flags) override;
    nsresult DestroyBrowserWindow() override;
    nsresult SizeBrowserTo(PRInt32 cx, PRInt32 cy) override;
    nsresult ShowAsModal() override;
    nsresult IsWindowModal(PRBool* modal) override;
    nsresult ExitModalEventLoop(nsresult status) override;
    // nsIWebBrowserChromeFocus
    nsresult FocusNextElement() override;
    nsresult FocusPrevElement() override;
    // nsIEmbeddingSiteWindow
    nsresult SetDimensions(PRUint32 flags, PRInt32 x, PRInt32 y, PRInt32 cx, PRInt32 cy) override;
    nsresult GetDimensions(PRUint32 flags, PRInt32* x, PRInt32* y, PRInt32* cx,
                           PRInt32* cy) override;
    nsresult SetFocus() override;
    nsresult GetVisibility(PRBool* visible) override;
    nsresult SetVisibility(PRBool visible) override;
    nsresult GetTitle(PRUnichar** title) override;
    nsresult SetTitle(const PRUnichar* title) override;
    nsresult GetSiteWindow(void** siteWindow) override;
    // nsIWebProgressListener
    nsresult OnStateChange(nsIWebProgress* progress, nsIRequest* request, PRUint32 stateFlags,
                           nsresult status) override;
    nsresult OnProgressChange(nsIWebProgress* progress, nsIRequest* request,
                              PRInt32 curSelfProgress, PRInt32 maxSelfProgress,
                              PRInt32 curTotalProgress, PRInt32 maxTotalProgress) override;
    nsresult OnLocationChange(nsIWebProgress* progress, nsIRequest* request,
                              nsIURI* location) override;
    nsresult OnStatusChange(nsIWebProgress* progress, nsIRequest* request, nsresult status,
                            const PRUnichar* message) override;
    nsresult OnSecurityChange(nsIWebProgress* progress, nsIRequest* request,
                              PRUint32 state) override;
    // nsIContextMenuListener
    nsresult OnShowContextMenu(PRUint32 contextFlags, nsIDOMEvent* event,
                               nsIDOMNode* node) override;
    // nsIRequestObserver
    nsresult OnStartRequest(nsIRequest* request, nsISupports* context) override;
    nsresult OnStopRequest(nsIRequest* request, nsISupports* context, nsresult status) override;
    // nsIURIContentListener
    nsresult OnStartURIOpen(nsIURI* uri, PRBool* abort) override;
    // nsIBrowserKeyListener
    nsresult OnKey(const char* name, PRUint32 modifiers, PRBool* handled) override;
    // nsIRendererListener
    nsresult OnRendererLost(const char* reason, PRBool repeated, PRBool* reload) override;
    nsresult DoContent(const char* contentType, PRBool isContentPreferred, nsIRequest* request,
                       nsIStreamListener** handler, PRBool* abort) override;
    nsresult IsPreferred(const char* contentType, char** desiredContentType,
                         PRBool* canHandle) override;
    nsresult CanHandleContent(const char* contentType, PRBool isContentPreferred,
                              char** desiredContentType, PRBool* canHandle) override;
    nsresult GetLoadCookie(nsISupports** cookie) override;
    nsresult SetLoadCookie(nsISupports* cookie) override;
    nsresult GetParentContentListener(nsIURIContentListener** parent) override;
    nsresult SetParentContentListener(nsIURIContentListener* parent) override;
    // nsIClipboardDragDropHooks
    nsresult AllowStartDrag(nsIDOMEvent* event, PRBool* allow) override;
    nsresult AllowDrop(nsIDOMEvent* event, nsIDragSession* session, PRBool* allow) override;
    nsresult OnCopyOrDrag(nsIDOMEvent* event, nsITransferable* trans, PRBool* result) override;
    nsresult OnPasteOrDrop(nsIDOMEvent* event, nsITransferable* trans, PRBool* result) override;

protected:
    ~CBrowserImpl() override = default;
    nsISupports* WeakReferent() override { return static_cast<nsIWebBrowserChrome*>(this); }

private:
    std::atomic<nsrefcnt> m_refCount{0};
    BrowserFrameGlue* m_glue = nullptr;
    nsCOMPtr<nsIWebBrowser> mWebBrowser;
};
