#pragma once

#include <functional>

// Interfaces of the web browser component and of the chrome around it.

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

class nsIURI : public nsISupports {
public:
    NS_DECLARE_IID(0x5b998ed9, 0xfbb4, 0x5beb, 0xb3, 0x69, 0x55, 0x76, 0x0e, 0xb3, 0x3d, 0xfd)
    virtual nsresult GetSpec(char** spec) = 0; // allocated with nsMemory
};

class nsIRequest : public nsISupports {
public:
    NS_DECLARE_IID(0xd0cf2d51, 0x65d0, 0x5dd7, 0xae, 0x64, 0xa9, 0x4a, 0xbc, 0x47, 0xe3, 0x14)
    virtual nsresult GetName(char** name) = 0; // allocated with nsMemory
};

class nsIDocShell;
class nsIDOMWindow : public nsISupports {
public:
    NS_DECLARE_IID(0x435978ff, 0xba44, 0x5eb6, 0xb4, 0xce, 0x59, 0xb3, 0xaa, 0xd4, 0x2a, 0x01)
    virtual nsresult GetTop(nsIDOMWindow** top) = 0;
};

class nsIScriptGlobalObject : public nsISupports {
public:
    NS_DECLARE_IID(0x424a6c88, 0xed8b, 0x5257, 0x80, 0x9b, 0xc6, 0x35, 0xa0, 0xb7, 0xd1, 0x20)
    virtual nsIDocShell* GetDocShell() = 0; // no reference added
};

class nsIURIContentListener;
class nsIDocShell : public nsISupports {
public:
    NS_DECLARE_IID(0xf01f0b75, 0x03f6, 0x5e61, 0xa3, 0xf2, 0x4f, 0xa4, 0x93, 0x64, 0x3d, 0xd0)
    virtual nsresult SetParentURIContentListener(nsIURIContentListener* listener) = 0;
    virtual nsresult GetParentURIContentListener(nsIURIContentListener** listener) = 0;
};

class nsIDocShellTreeItem : public nsISupports {
public:
    NS_DECLARE_IID(0x60b14d7c, 0x73dc, 0x5ad0, 0xb5, 0x14, 0xfe, 0x40, 0x05, 0xf3, 0x2a, 0xab)
    enum : PRInt32 {
        typeChrome = 0,
        typeContent = 1,
        typeContentWrapper = 2,
        typeChromeWrapper = 3
    };
    virtual nsresult SetItemType(PRInt32 type) = 0;
    virtual nsresult GetItemType(PRInt32* type) = 0;
};

class nsIWebProgress : public nsISupports {
public:
    NS_DECLARE_IID(0xc3ed4c53, 0x4ab0, 0x5acb, 0xae, 0xb5, 0x89, 0x93, 0xf4, 0xbb, 0x04, 0xb8)
    virtual nsresult GetDOMWindow(nsIDOMWindow** window) = 0;
};

class nsIWebProgressListener : public nsISupports {
public:
    NS_DECLARE_IID(0x3d4d7943, 0xd41b, 0x5255, 0x97, 0xf5, 0xb2, 0xe0, 0xbe, 0x4e, 0xae, 0x60)
    enum : PRUint32 {
        STATE_START = 0x1,
        STATE_REDIRECTING = 0x2,
        STATE_TRANSFERRING = 0x4,
        STATE_NEGOTIATING = 0x8,
        STATE_STOP = 0x10,
        STATE_IS_REQUEST = 0x10000,
        STATE_IS_DOCUMENT = 0x20000,
        STATE_IS_NETWORK = 0x40000,
        STATE_IS_WINDOW = 0x80000,
        STATE_IS_INSECURE = 0x4,
        STATE_IS_BROKEN = 0x1,
        STATE_IS_SECURE = 0x2,
    };
    virtual nsresult OnStateChange(nsIWebProgress* progress, nsIRequest* request,
                                   PRUint32 stateFlags, nsresult status) = 0;
    virtual nsresult OnProgressChange(nsIWebProgress* progress, nsIRequest* request,
                                      PRInt32 curSelfProgress, PRInt32 maxSelfProgress,
                                      PRInt32 curTotalProgress, PRInt32 maxTotalProgress) = 0;
    virtual nsresult OnLocationChange(nsIWebProgress* progress, nsIRequest* request,
                                      nsIURI* location) = 0;
    virtual nsresult OnStatusChange(nsIWebProgress* progress, nsIRequest* request, nsresult status,
                                    const PRUnichar* message) = 0;
    virtual nsresult OnSecurityChange(nsIWebProgress* progress, nsIRequest* request,
                                      PRUint32 state) = 0;
};

class nsIWebBrowserChrome;
class nsIWebBrowser : public nsISupports {
public:
    NS_DECLARE_IID(0x2b6b6529, 0x5dd7, 0x55a0, 0x89, 0x32, 0xea, 0x14, 0xec, 0xf7, 0xa7, 0xe7)
    virtual nsresult AddWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) = 0;
    virtual nsresult RemoveWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) = 0;
    virtual nsresult GetContainerWindow(nsIWebBrowserChrome** chrome) = 0;
    virtual nsresult SetContainerWindow(nsIWebBrowserChrome* chrome) = 0;
    virtual nsresult GetContentDOMWindow(nsIDOMWindow** window) = 0;
};

// Properties of a browser set by its embedder.
class nsIWebBrowserSetup : public nsISupports {
public:
    NS_DECLARE_IID(0x8e2f17a4, 0x61c0, 0x5b3d, 0x9a, 0x42, 0x17, 0xc8, 0x3e, 0x05, 0xd9, 0x6b)
    enum { SETUP_CONTEXT_MENU = 100, SETUP_ZOOM_PERCENT = 101 };
    enum { CONTEXT_MENU_ENGINE = 0, CONTEXT_MENU_APPLICATION = 1, CONTEXT_MENU_NONE = 2 };
    virtual nsresult SetProperty(PRUint32 id, PRUint32 value) = 0;
};

// Texts the runtime asks the prompt service to show in the embedder's words
// (its language): the question before a page with unsaved work goes, and the
// check box that stops a page's dialog after dialog.
inline constexpr const PRUnichar* kLeavePageText = u"velta:leave-page";
inline constexpr const PRUnichar* kStopDialogsCheckText = u"velta:stop-dialogs";

// Hears that the page's renderer ended. `reload` comes set: true the first
// times; after `repeated` crashes false. The listener may change it: true
// reloads once more, false closes the browser.
class nsIRendererListener : public nsISupports {
public:
    NS_DECLARE_IID(0x91c0a7e3, 0x4d2b, 0x5f18, 0x8e, 0x63, 0x27, 0xfa, 0x0b, 0x9d, 0x54, 0x12)
    virtual nsresult OnRendererLost(const char* reason, PRBool repeated, PRBool* reload) = 0;
};

// Asks the page before its browser goes (its beforeunload handler).
class nsIPageCloser : public nsISupports {
public:
    NS_DECLARE_IID(0x0f7e4b19, 0x83a2, 0x5c6d, 0x91, 0x3b, 0x6e, 0x25, 0xd4, 0x08, 0xa1, 0xc7)
    // `done` hears true when the page may go, false when the user chose to stay.
    virtual nsresult TryClose(std::function<void(bool mayClose)> done) = 0;
};

// Searches the page's text.
class nsIWebBrowserFind : public nsISupports {
public:
    NS_DECLARE_IID(0x3c1d9e02, 0x7b5a, 0x5f41, 0xa6, 0x0e, 0x92, 0x4d, 0x18, 0x7c, 0x33, 0xb5)
    // An empty string ends the search and its highlighting.
    virtual nsresult Find(const PRUnichar* text, PRBool backwards) = 0;
};

// Keys pressed in the page, offered to the chrome before the page sees them.
enum { KEY_MODIFIER_CTRL = 1, KEY_MODIFIER_ALT = 2, KEY_MODIFIER_SHIFT = 4 };
class nsIBrowserKeyListener : public nsISupports {
public:
    NS_DECLARE_IID(0x6a47b3c8, 0x25d1, 0x5e90, 0xb4, 0x7f, 0x0c, 0x81, 0xe2, 0x56, 0x4a, 0x19)
    virtual nsresult OnKey(const char* name, PRUint32 modifiers, PRBool* handled) = 0;
};

class nsIWebNavigation : public nsISupports {
public:
    NS_DECLARE_IID(0x51478f70, 0xdd31, 0x5e19, 0x85, 0xbd, 0xa4, 0xba, 0x6e, 0x63, 0x8a, 0xea)
    enum : PRUint32 { LOAD_FLAGS_NONE = 0, STOP_NETWORK = 1, STOP_CONTENT = 2, STOP_ALL = 3 };
    virtual nsresult GetCanGoBack(PRBool* can) = 0;
    virtual nsresult GetCanGoForward(PRBool* can) = 0;
    virtual nsresult GoBack() = 0;
    virtual nsresult GoForward() = 0;
    virtual nsresult LoadURI(const PRUnichar* uri, PRUint32 loadFlags, nsIURI* referrer,
                             nsISupports* postData, nsISupports* headers) = 0;
    virtual nsresult Reload(PRUint32 reloadFlags) = 0;
    virtual nsresult Stop(PRUint32 stopFlags) = 0;
    virtual nsresult GetCurrentURI(nsIURI** uri) = 0;
};

// The native parent of a browser window: the toolkit window it lives in.
using nativeWindow = void*;
class nsIBaseWindow : public nsISupports {
public:
    NS_DECLARE_IID(0xc8843f88, 0x9b08, 0x54cc, 0xa0, 0x4e, 0x0c, 0x3f, 0x31, 0x30, 0xdd, 0xc5)
    virtual nsresult InitWindow(nativeWindow parent, void* parentWidget, PRInt32 x, PRInt32 y,
                                PRInt32 cx, PRInt32 cy) = 0;
    virtual nsresult Create() = 0;
    virtual nsresult Destroy() = 0;
    virtual nsresult SetPosition(PRInt32 x, PRInt32 y) = 0;
    virtual nsresult GetPosition(PRInt32* x, PRInt32* y) = 0;
    virtual nsresult SetSize(PRInt32 cx, PRInt32 cy, PRBool repaint) = 0;
    virtual nsresult GetSize(PRInt32* cx, PRInt32* cy) = 0;
    virtual nsresult GetVisibility(PRBool* visible) = 0;
    virtual nsresult SetVisibility(PRBool visible) = 0;
};

class nsIWebBrowserFocus : public nsISupports {
public:
    NS_DECLARE_IID(0x991c04f6, 0xd4a3, 0x5dd3, 0x9f, 0x86, 0x62, 0xea, 0x0b, 0xfe, 0x54, 0xa4)
    virtual nsresult Activate() = 0;
    virtual nsresult Deactivate() = 0;
};

class nsIClipboardCommands : public nsISupports {
public:
    NS_DECLARE_IID(0x9ef4182d, 0x2595, 0x5445, 0xb4, 0xdd, 0xd4, 0x88, 0xc0, 0x13, 0x24, 0xbf)
    virtual nsresult CanCutSelection(PRBool* result) = 0;
    virtual nsresult CanCopySelection(PRBool* result) = 0;
    virtual nsresult CanPaste(PRBool* result) = 0;
    virtual nsresult CutSelection() = 0;
    virtual nsresult CopySelection() = 0;
    virtual nsresult Paste() = 0;
    virtual nsresult SelectAll() = 0;
    virtual nsresult SelectNone() = 0;
};

class nsIPrintSettings : public nsISupports {
public:
    NS_DECLARE_IID(0x4ef60918, 0xa14f, 0x589e, 0x88, 0x4d, 0x8b, 0x12, 0x6a, 0xeb, 0x5c, 0x67)
};

class nsIWebBrowserPrint : public nsISupports {
public:
    NS_DECLARE_IID(0x74a619a0, 0xf6a3, 0x549a, 0xa4, 0xef, 0x61, 0x9a, 0xe5, 0xda, 0xaa, 0xe0)
    virtual nsresult Print(nsIPrintSettings* settings, nsIWebProgressListener* listener) = 0;
    virtual nsresult PrintPreview(nsIPrintSettings* settings, nsIDOMWindow* childWindow,
                                  nsIWebProgressListener* listener) = 0;
    virtual nsresult ExitPrintPreview() = 0;
};

class nsIWebBrowserChrome : public nsISupports {
public:
    NS_DECLARE_IID(0x4e663287, 0x4203, 0x5cef, 0x90, 0x81, 0xf8, 0x49, 0x6e, 0xd2, 0xf1, 0xc0)
    enum : PRUint32 {
        CHROME_DEFAULT = 0x1,
        CHROME_WINDOW_BORDERS = 0x2,
        CHROME_WINDOW_CLOSE = 0x4,
        CHROME_WINDOW_RESIZE = 0x8,
        CHROME_MENUBAR = 0x10,
        CHROME_TOOLBAR = 0x20,
        CHROME_LOCATIONBAR = 0x40,
        CHROME_STATUSBAR = 0x80,
        CHROME_PERSONAL_TOOLBAR = 0x100,
        CHROME_SCROLLBARS = 0x200,
        CHROME_TITLEBAR = 0x400,
        CHROME_EXTRA = 0x800,
        CHROME_ALL = 0xFFE,
    };
    enum : PRUint32 { STATUS_SCRIPT = 1, STATUS_SCRIPT_DEFAULT = 2, STATUS_LINK = 3 };
    virtual nsresult SetStatus(PRUint32 statusType, const PRUnichar* status) = 0;
    virtual nsresult GetWebBrowser(nsIWebBrowser** browser) = 0;
    virtual nsresult SetWebBrowser(nsIWebBrowser* browser) = 0;
    virtual nsresult GetChromeFlags(PRUint32* flags) = 0;
    virtual nsresult SetChromeFlags(PRUint32 flags) = 0;
    virtual nsresult DestroyBrowserWindow() = 0;
    virtual nsresult SizeBrowserTo(PRInt32 cx, PRInt32 cy) = 0;
    virtual nsresult ShowAsModal() = 0;
    virtual nsresult IsWindowModal(PRBool* modal) = 0;
    virtual nsresult ExitModalEventLoop(nsresult status) = 0;
};

class nsIWebBrowserChromeFocus : public nsISupports {
public:
    NS_DECLARE_IID(0xc137e738, 0x0c1b, 0x5c13, 0x86, 0xf1, 0xea, 0x5d, 0xe7, 0x09, 0x1f, 0x77)
    virtual nsresult FocusNextElement() = 0;
    virtual nsresult FocusPrevElement() = 0;
};

class nsIEmbeddingSiteWindow : public nsISupports {
public:
    NS_DECLARE_IID(0x2559867c, 0x5773, 0x51b7, 0xb3, 0xb1, 0x50, 0x0e, 0x76, 0xcc, 0x3e, 0x88)
    enum : PRUint32 { DIM_FLAGS_POSITION = 1, DIM_FLAGS_SIZE_INNER = 2, DIM_FLAGS_SIZE_OUTER = 4 };
    virtual nsresult SetDimensions(PRUint32 flags, PRInt32 x, PRInt32 y, PRInt32 cx,
                                   PRInt32 cy) = 0;
    virtual nsresult GetDimensions(PRUint32 flags, PRInt32* x, PRInt32* y, PRInt32* cx,
                                   PRInt32* cy) = 0;
    virtual nsresult SetFocus() = 0;
    virtual nsresult GetVisibility(PRBool* visible) = 0;
    virtual nsresult SetVisibility(PRBool visible) = 0;
    virtual nsresult GetTitle(PRUnichar** title) = 0;
    virtual nsresult SetTitle(const PRUnichar* title) = 0;
    virtual nsresult GetSiteWindow(void** siteWindow) = 0;
};

class nsIDOMEvent;
class nsIDOMNode;
class nsIContextMenuListener : public nsISupports {
public:
    NS_DECLARE_IID(0xa9cabb53, 0xd117, 0x5b02, 0x85, 0x76, 0x41, 0x2a, 0x80, 0x55, 0xfa, 0x4b)
    virtual nsresult OnShowContextMenu(PRUint32 contextFlags, nsIDOMEvent* event,
                                       nsIDOMNode* node) = 0;
};

class nsIRequestObserver : public nsISupports {
public:
    NS_DECLARE_IID(0x0b2801fe, 0x701e, 0x5edb, 0x84, 0xfb, 0x59, 0x65, 0x9a, 0xda, 0x30, 0x7a)
    virtual nsresult OnStartRequest(nsIRequest* request, nsISupports* context) = 0;
    virtual nsresult OnStopRequest(nsIRequest* request, nsISupports* context, nsresult status) = 0;
};

// The navigation an nsIURIContentListener is being asked about, from the
// browser it belongs to: which frame it is for and who started it.
class nsINavigationInfo : public nsISupports {
public:
    NS_DECLARE_IID(0x5d0c61b2, 0x3f4e, 0x5a71, 0x8c, 0x19, 0x2b, 0x64, 0xd0, 0x3e, 0x9a, 0x57)
    enum { frameMain = 0, frameSub = 1, frameUnknown = 2 };
    virtual nsresult GetFrameKind(PRInt32* kind) = 0;
    virtual nsresult GetFrameLater(PRBool* later) = 0;
    virtual nsresult GetUserGesture(PRBool* byUser) = 0;
    // A form's data goes with the navigation (POST).
    virtual nsresult GetFormPost(PRBool* post) = 0;
    // With an abort: let it start, and ask again once its frame is known.
    virtual nsresult SetDecideWithFrame(PRBool later) = 0;
};

class nsIStreamListener;
class nsIURIContentListener : public nsISupports {
public:
    NS_DECLARE_IID(0x88973b35, 0x813f, 0x5a64, 0x97, 0x1b, 0x4d, 0x38, 0x44, 0xe9, 0x62, 0xb8)
    virtual nsresult OnStartURIOpen(nsIURI* uri, PRBool* abort) = 0;
    virtual nsresult DoContent(const char* contentType, PRBool isContentPreferred,
                               nsIRequest* request, nsIStreamListener** handler, PRBool* abort) = 0;
    virtual nsresult IsPreferred(const char* contentType, char** desiredContentType,
                                 PRBool* canHandle) = 0;
    virtual nsresult CanHandleContent(const char* contentType, PRBool isContentPreferred,
                                      char** desiredContentType, PRBool* canHandle) = 0;
    virtual nsresult GetLoadCookie(nsISupports** cookie) = 0;
    virtual nsresult SetLoadCookie(nsISupports* cookie) = 0;
    virtual nsresult GetParentContentListener(nsIURIContentListener** parent) = 0;
    virtual nsresult SetParentContentListener(nsIURIContentListener* parent) = 0;
};

class nsIDragSession;
class nsITransferable;
class nsIClipboardDragDropHooks : public nsISupports {
public:
    NS_DECLARE_IID(0x91eff5e4, 0x7abd, 0x5d2f, 0xbe, 0xbd, 0x59, 0xb5, 0xef, 0xbc, 0xdf, 0xa9)
    virtual nsresult AllowStartDrag(nsIDOMEvent* event, PRBool* allow) = 0;
    virtual nsresult AllowDrop(nsIDOMEvent* event, nsIDragSession* session, PRBool* allow) = 0;
    virtual nsresult OnCopyOrDrag(nsIDOMEvent* event, nsITransferable* trans, PRBool* result) = 0;
    virtual nsresult OnPasteOrDrop(nsIDOMEvent* event, nsITransferable* trans, PRBool* result) = 0;
};

class nsIWindowCreator : public nsISupports {
public:
    NS_DECLARE_IID(0x31111e80, 0x5637, 0x5d3f, 0xbf, 0x77, 0x4c, 0xa0, 0x91, 0x36, 0xf0, 0x31)
    virtual nsresult CreateChromeWindow(nsIWebBrowserChrome* parent, PRUint32 chromeFlags,
                                        nsIWebBrowserChrome** result) = 0;
};

class nsIWindowWatcher : public nsISupports {
public:
    NS_DECLARE_IID(0x7e282adf, 0x96e7, 0x5012, 0xb1, 0x66, 0xec, 0x20, 0xc8, 0x32, 0x79, 0x50)
    virtual nsresult SetWindowCreator(nsIWindowCreator* creator) = 0;
    virtual nsresult GetActiveWindow(nsIDOMWindow** window) = 0;
    virtual nsresult SetActiveWindow(nsIDOMWindow* window) = 0;
    virtual nsresult GetChromeForWindow(nsIDOMWindow* window, nsIWebBrowserChrome** chrome) = 0;
};

class nsIPromptService : public nsISupports {
public:
    NS_DECLARE_IID(0xe622360a, 0x9a17, 0x50ae, 0xbe, 0x1d, 0xf2, 0xfd, 0x8b, 0x73, 0xe6, 0x3b)
    virtual nsresult Alert(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text) = 0;
    virtual nsresult AlertCheck(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                                const PRUnichar* checkMsg, PRBool* checkState) = 0;
    virtual nsresult Confirm(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                             PRBool* result) = 0;
    virtual nsresult ConfirmCheck(nsIDOMWindow* parent, const PRUnichar* title,
                                  const PRUnichar* text, const PRUnichar* checkMsg,
                                  PRBool* checkState, PRBool* result) = 0;
    virtual nsresult ConfirmEx(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                               PRUint32 buttonFlags, const PRUnichar* button0,
                               const PRUnichar* button1, const PRUnichar* button2,
                               const PRUnichar* checkMsg, PRBool* checkState, PRInt32* pressed) = 0;
    virtual nsresult Prompt(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                            PRUnichar** value, const PRUnichar* checkMsg, PRBool* checkState,
                            PRBool* result) = 0;
    virtual nsresult PromptUsernameAndPassword(nsIDOMWindow* parent, const PRUnichar* title,
                                               const PRUnichar* text, PRUnichar** username,
                                               PRUnichar** password, const PRUnichar* checkMsg,
                                               PRBool* checkState, PRBool* result) = 0;
    virtual nsresult PromptPassword(nsIDOMWindow* parent, const PRUnichar* title,
                                    const PRUnichar* text, PRUnichar** password,
                                    const PRUnichar* checkMsg, PRBool* checkState,
                                    PRBool* result) = 0;
    virtual nsresult Select(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                            PRUint32 count, const PRUnichar** selectList, PRInt32* outSelection,
                            PRBool* result) = 0;
};

class nsIHelperAppLauncher : public nsISupports {
public:
    NS_DECLARE_IID(0x33f6facb, 0x08e3, 0x5c24, 0x91, 0x63, 0x10, 0x23, 0x89, 0xf4, 0xe3, 0x8a)
    // Saves to `file`; with no file the launcher asks its dialog for one.
    virtual nsresult SaveToDisk(nsIFile* file, PRBool rememberThisPreference) = 0;
    virtual nsresult Cancel() = 0;
    virtual nsresult GetSuggestedFileName(PRUnichar** name) = 0;
    virtual nsresult GetSource(nsIURI** source) = 0;
};

class nsIHelperAppLauncherDialog : public nsISupports {
public:
    NS_DECLARE_IID(0x1eae5a8c, 0xae65, 0x590e, 0xab, 0xe2, 0xd5, 0xa1, 0xb1, 0x8d, 0xe1, 0xa3)
    virtual nsresult Show(nsIHelperAppLauncher* launcher, nsISupports* context) = 0;
    virtual nsresult PromptForSaveToFile(nsIHelperAppLauncher* launcher, nsISupports* context,
                                         const PRUnichar* defaultFile,
                                         const PRUnichar* suggestedExtension,
                                         nsILocalFile** result) = 0;
};
