#pragma once

#include "browserlib/runtime/DOMWindow.h"
#include "browserlib/runtime/engine/EngineView.h"
#include "browserlib/runtime/engine/RendererCrashes.h"
#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsWeakReference.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The web browser component ("@mozilla.org/embedding/browser/nsWebBrowser;1"):
// one page view of the engine, with the faces the embedding uses, reporting to
// the chrome it is given as container window.
class WebBrowser : public nsIWebBrowser,
                   public nsIWebNavigation,
                   public nsIBaseWindow,
                   public nsIDocShellTreeItem,
                   public nsIDocShell,
                   public nsIWebBrowserFocus,
                   public nsIClipboardCommands,
                   public nsIWebBrowserPrint,
                   public nsIInterfaceRequestor,
                   public nsICommandManager,
                   public nsIWebProgress,
                   public nsINavigationInfo,
                   public nsIWebBrowserSetup,
                   public nsIWebBrowserFind,
                   public nsIPageCloser,
                   public nsSupportsWeakReference,
                   private EngineViewClient {
    NS_DECL_ISUPPORTS
public:
    WebBrowser();

    static WebBrowser* FromDOMWindow(nsIDOMWindow* window);

    // nsIWebBrowser
    nsresult AddWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) override;
    nsresult RemoveWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) override;
    nsresult GetContainerWindow(nsIWebBrowserChrome** chrome) override;
    nsresult SetContainerWindow(nsIWebBrowserChrome* chrome) override;
    nsresult GetContentDOMWindow(nsIDOMWindow** window) override;
    // nsIWebNavigation
    nsresult GetCanGoBack(PRBool* can) override;
    nsresult GetCanGoForward(PRBool* can) override;
    nsresult GoBack() override;
    nsresult GoForward() override;
    nsresult LoadURI(const PRUnichar* uri, PRUint32 loadFlags, nsIURI* referrer,
                     nsISupports* postData, nsISupports* headers) override;
    nsresult Reload(PRUint32 reloadFlags) override;
    nsresult Stop(PRUint32 stopFlags) override;
    nsresult GetCurrentURI(nsIURI** uri) override;
    // nsIBaseWindow
    nsresult InitWindow(nativeWindow parent, void* parentWidget, PRInt32 x, PRInt32 y, PRInt32 cx,
                        PRInt32 cy) override;
    nsresult Create() override;
    nsresult Destroy() override;
    nsresult SetPosition(PRInt32 x, PRInt32 y) override;
    nsresult GetPosition(PRInt32* x, PRInt32* y) override;
    nsresult SetSize(PRInt32 cx, PRInt32 cy, PRBool repaint) override;
    nsresult GetSize(PRInt32* cx, PRInt32* cy) override;
    nsresult GetVisibility(PRBool* visible) override;
    nsresult SetVisibility(PRBool visible) override;
    // nsIDocShellTreeItem
    nsresult SetItemType(PRInt32 type) override;
    nsresult GetItemType(PRInt32* type) override;
    // nsIDocShell
    nsresult SetParentURIContentListener(nsIURIContentListener* listener) override;
    nsresult GetParentURIContentListener(nsIURIContentListener** listener) override;
    // nsIWebBrowserFocus
    nsresult Activate() override;
    nsresult Deactivate() override;
    // nsIClipboardCommands
    nsresult CanCutSelection(PRBool* result) override;
    nsresult CanCopySelection(PRBool* result) override;
    nsresult CanPaste(PRBool* result) override;
    nsresult CutSelection() override;
    nsresult CopySelection() override;
    nsresult Paste() override;
    nsresult SelectAll() override;
    nsresult SelectNone() override;
    // nsIWebBrowserPrint
    nsresult Print(nsIPrintSettings* settings, nsIWebProgressListener* listener) override;
    nsresult PrintPreview(nsIPrintSettings* settings, nsIDOMWindow* childWindow,
                          nsIWebProgressListener* listener) override;
    nsresult ExitPrintPreview() override;
    // nsIInterfaceRequestor
    nsresult GetInterface(const nsIID& iid, void** result) override;
    // nsICommandManager
    nsresult DoCommand(const char* command, nsICommandParams* params,
                       nsIDOMWindow* target) override;
    // nsIWebProgress
    nsresult GetDOMWindow(nsIDOMWindow** window) override;
    // nsIWebBrowserSetup
    nsresult SetProperty(PRUint32 id, PRUint32 value) override;
    // nsIWebBrowserFind
    nsresult Find(const PRUnichar* text, PRBool backwards) override;
    // nsIPageCloser
    nsresult TryClose(std::function<void(bool mayClose)> done) override;
    // nsINavigationInfo
    nsresult GetFrameKind(PRInt32* kind) override;
    nsresult GetFrameLater(PRBool* later) override;
    nsresult GetUserGesture(PRBool* byUser) override;
    nsresult GetFormPost(PRBool* post) override;
    nsresult SetDecideWithFrame(PRBool later) override;

    EngineView* View() const { return mView.get(); }
    const std::string& CurrentUrl() const { return mCurrentUrl; }

protected:
    ~WebBrowser() override;
    nsISupports* WeakReferent() override { return static_cast<nsIWebBrowser*>(this); }

private:
    // EngineViewClient
    NavigationVerdict OnDecideNavigation(const EngineNavigation& navigation) override;
    bool AllowsScriptUrl(const std::string& url);
    bool OnDecideResponse(const std::string& url, const std::string& mimeType,
                          bool attachment) override;
    void OnLoadStarted(const std::string& url) override;
    void OnLocationChanged(const std::string& url, bool mainFrame) override;
    void OnLoadFinished(const std::string& url, bool failed) override;
    void OnProgress(double fraction) override;
    void OnTitleChanged(const std::string& title) override;
    void OnStatusText(const std::string& text) override;
    void OnSecurityChanged(bool secure) override;
    EngineView* OnCreateWindow(const WindowFeatures& features) override;
    void OnReadyToShow(const WindowFeatures& features) override;
    void OnGeometryRequest(const WindowFeatures& features) override;
    void OnCloseRequested() override;
    bool OnScriptDialog(ScriptDialogType type, const std::string& message,
                        const std::string& defaultText, bool* confirmed,
                        std::string* text) override;
    bool OnAuthenticate(const std::string& host, const std::string& realm, std::string* user,
                        std::string* password, bool* ok) override;
    void OnDownload(EngineDownload& download) override;
    bool OnKey(const EngineKey& key) override;
    void OnRendererGone(const std::string& reason) override;
    bool OnDragStart() override;
    bool OnDrop() override;
    bool OnAskPermission(const std::string& title, const std::string& question,
                         const std::string& allowLabel, const std::string& denyLabel) override;

    template <class F> void ForEachProgressListener(F call);
    void ApplyDimensions(const WindowFeatures& features);
    bool RunClipboardHook(bool paste);

    nsIWebBrowserChrome* mChrome = nullptr; // the chrome owns this browser
    nsCOMPtr<nsIURIContentListener> mContentListener;
    nsCOMPtr<nsIClipboardDragDropHooks> mHooks;
    std::vector<std::pair<nsCOMPtr<nsIWeakReference>, nsIID>> mListeners;
    nsCOMPtr<DOMWindow> mWindow;
    std::unique_ptr<EngineView> mView;
    void* mParent = nullptr;
    int mX = 0, mY = 0, mWidth = 0, mHeight = 0;
    bool mVisible = false;
    PRInt32 mItemType = typeContent;
    std::string mCurrentUrl;
    const EngineNavigation* mDeciding = nullptr;
    bool mDecideWithFrame = false;
    bool mOpenedByPage = false;
    std::function<void(bool)> mCloseAsked; // a TryClose waiting for the page
    // Dialog after dialog: the user may stop a page's further dialogs.
    long long mLastDialogEnd = 0;
    bool mDialogsStopped = false;
    RendererCrashes mCrashes;
    ContextMenuKind mContextMenu = ContextMenuKind::Engine;
};
