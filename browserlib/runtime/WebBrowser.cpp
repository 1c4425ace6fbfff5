#include "browserlib/runtime/WebBrowser.h"

#include <chrono>

#include "browserlib/runtime/HelperAppLauncher.h"
#include "browserlib/runtime/WindowWatcher.h"
#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/xpcom/EventQueue.h"
#include "browserlib/runtime/xpcom/SimpleURI.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

#include <algorithm>

namespace {
// The opener of the window being created: the next browser made relates to it.
EngineView* g_pendingOpener = nullptr;

const char* kWindowWatcher = "@mozilla.org/embedcomp/window-watcher;1";
const char* kPromptService = "@mozilla.org/embedcomp/prompt-service;1";
const char* kHelperAppDialog = "@mozilla.org/helperapplauncherdialog;1";

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

// "scheme://host[:port]" of an address; the address itself when it has none.
std::string OriginOf(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const size_t end = url.find_first_of("/?#", scheme + 3);
    return url.substr(0, end);
}

std::u16string U16(const std::string& s) {
    return nsMemory::ToUTF16(s);
}

std::string TakeUnicode(PRUnichar* text) {
    const std::string out = text ? nsMemory::ToUTF8(text) : std::string();
    nsMemory::Free(text);
    return out;
}
} // namespace

NS_INTERFACE_MAP_BEGIN(WebBrowser)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowser)
NS_INTERFACE_MAP_ENTRY(nsIWebNavigation)
NS_INTERFACE_MAP_ENTRY(nsIBaseWindow)
NS_INTERFACE_MAP_ENTRY(nsIDocShellTreeItem)
NS_INTERFACE_MAP_ENTRY(nsIDocShell)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserFocus)
NS_INTERFACE_MAP_ENTRY(nsIClipboardCommands)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserPrint)
NS_INTERFACE_MAP_ENTRY(nsIInterfaceRequestor)
NS_INTERFACE_MAP_ENTRY(nsICommandManager)
NS_INTERFACE_MAP_ENTRY(nsIWebProgress)
NS_INTERFACE_MAP_ENTRY(nsINavigationInfo)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserSetup)
NS_INTERFACE_MAP_ENTRY(nsIWebBrowserFind)
NS_INTERFACE_MAP_ENTRY(nsIPageCloser)
NS_INTERFACE_MAP_ENTRY(nsISupportsWeakReference)
NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(nsISupports, nsIWebBrowser)
NS_INTERFACE_MAP_END

WebBrowser::WebBrowser() : mWindow(new DOMWindow(this, nullptr)) {}

WebBrowser::~WebBrowser() {
    if (mView)
        mView->Detach();
    mWindow->Disconnect();
}

WebBrowser* WebBrowser::FromDOMWindow(nsIDOMWindow* window) {
    auto* dom = dynamic_cast<DOMWindow*>(window);
    return dom ? dom->Owner() : nullptr;
}

// nsIWebBrowser

nsresult WebBrowser::AddWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) {
    if (!listener)
        return NS_ERROR_NULL_POINTER;
    mListeners.emplace_back(listener, iid);
    return NS_OK;
}

nsresult WebBrowser::RemoveWebBrowserListener(nsIWeakReference* listener, const nsIID& iid) {
    const auto before = mListeners.size();
    mListeners.erase(std::remove_if(mListeners.begin(), mListeners.end(),
                                    [&](const auto& entry) {
                                        return entry.first.get() == listener && entry.second == iid;
                                    }),
                     mListeners.end());
    return mListeners.size() < before ? NS_OK : NS_ERROR_FAILURE;
}

nsresult WebBrowser::GetContainerWindow(nsIWebBrowserChrome** chrome) {
    if (!chrome)
        return NS_ERROR_NULL_POINTER;
    *chrome = mChrome;
    NS_IF_ADDREF(*chrome);
    return NS_OK;
}

nsresult WebBrowser::SetContainerWindow(nsIWebBrowserChrome* chrome) {
    mChrome = chrome;
    return NS_OK;
}

nsresult WebBrowser::GetContentDOMWindow(nsIDOMWindow** window) {
    if (!window)
        return NS_ERROR_NULL_POINTER;
    *window = mWindow.get();
    (*window)->AddRef();
    return NS_OK;
}

// nsIWebNavigation

nsresult WebBrowser::GetCanGoBack(PRBool* can) {
    if (!can)
        return NS_ERROR_NULL_POINTER;
    *can = mView && mView->CanGoBack();
    return NS_OK;
}

nsresult WebBrowser::GetCanGoForward(PRBool* can) {
    if (!can)
        return NS_ERROR_NULL_POINTER;
    *can = mView && mView->CanGoForward();
    return NS_OK;
}

nsresult WebBrowser::GoBack() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->GoBack();
    return NS_OK;
}

nsresult WebBrowser::GoForward() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->GoForward();
    return NS_OK;
}

nsresult WebBrowser::LoadURI(const PRUnichar* uri, PRUint32, nsIURI*, nsISupports*, nsISupports*) {
    if (!uri)
        return NS_ERROR_NULL_POINTER;
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    const std::string url = nsMemory::ToUTF8(uri);
    // A script address runs in the current document, as engines do, once the
    // chrome let it pass like any other address.
    if (StartsWithNoCase(url, "javascript:")) {
        if (AllowsScriptUrl(url))
            mView->RunScript(PercentDecode(url.substr(11)));
        return NS_OK;
    }
    mView->LoadUrl(url);
    return NS_OK;
}

nsresult WebBrowser::Reload(PRUint32) {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->Reload();
    return NS_OK;
}

nsresult WebBrowser::Stop(PRUint32) {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->Stop();
    return NS_OK;
}

nsresult WebBrowser::GetCurrentURI(nsIURI** uri) {
    if (!uri)
        return NS_ERROR_NULL_POINTER;
    *uri = nullptr;
    if (mCurrentUrl.empty())
        return NS_ERROR_NOT_AVAILABLE;
    *uri = new SimpleURI(mCurrentUrl);
    (*uri)->AddRef();
    return NS_OK;
}

// nsIBaseWindow

nsresult WebBrowser::InitWindow(nativeWindow parent, void*, PRInt32 x, PRInt32 y, PRInt32 cx,
                                PRInt32 cy) {
    if (!parent)
        return NS_ERROR_NULL_POINTER;
    mParent = parent;
    mX = x;
    mY = y;
    mWidth = cx;
    mHeight = cy;
    return NS_OK;
}

nsresult WebBrowser::Create() {
    if (!mParent)
        return NS_ERROR_NOT_INITIALIZED;
    if (mView)
        return NS_OK;
    mView = EngineBackend::Get().CreateView(this, g_pendingOpener);
    if (!mView || !mView->Attach(mParent, mX, mY, mWidth, mHeight)) {
        mView.reset();
        return NS_ERROR_FAILURE;
    }
    mView->SetVisible(mVisible);
    mView->SetContextMenu(mContextMenu);
    return NS_OK;
}

nsresult WebBrowser::Destroy() {
    if (nsCOMPtr<WindowWatcher> watcher =
            dynamic_cast<WindowWatcher*>(do_GetService<nsIWindowWatcher>(kWindowWatcher).get()))
        watcher->Forget(mWindow);
    if (mView) {
        mView->Detach();
        mView.reset();
    }
    mChrome = nullptr;
    mContentListener = nullptr;
    mHooks = nullptr;
    mListeners.clear();
    return NS_OK;
}

nsresult WebBrowser::SetPosition(PRInt32 x, PRInt32 y) {
    mX = x;
    mY = y;
    if (mView)
        mView->SetBounds(mX, mY, mWidth, mHeight);
    return NS_OK;
}

nsresult WebBrowser::GetPosition(PRInt32* x, PRInt32* y) {
    if (x)
        *x = mX;
    if (y)
        *y = mY;
    return NS_OK;
}

nsresult WebBrowser::SetSize(PRInt32 cx, PRInt32 cy, PRBool) {
    mWidth = cx;
    mHeight = cy;
    if (mView)
        mView->SetBounds(mX, mY, mWidth, mHeight);
    return NS_OK;
}

nsresult WebBrowser::GetSize(PRInt32* cx, PRInt32* cy) {
    if (cx)
        *cx = mWidth;
    if (cy)
        *cy = mHeight;
    return NS_OK;
}

nsresult WebBrowser::GetVisibility(PRBool* visible) {
    if (!visible)
        return NS_ERROR_NULL_POINTER;
    *visible = mVisible;
    return NS_OK;
}

nsresult WebBrowser::SetVisibility(PRBool visible) {
    mVisible = visible;
    if (mView)
        mView->SetVisible(visible);
    return NS_OK;
}

// nsIDocShellTreeItem, nsIDocShell

nsresult WebBrowser::SetItemType(PRInt32 type) {
    mItemType = type;
    return NS_OK;
}

nsresult WebBrowser::GetItemType(PRInt32* type) {
    if (!type)
        return NS_ERROR_NULL_POINTER;
    *type = mItemType;
    return NS_OK;
}

nsresult WebBrowser::SetParentURIContentListener(nsIURIContentListener* listener) {
    mContentListener = listener;
    return NS_OK;
}

nsresult WebBrowser::GetParentURIContentListener(nsIURIContentListener** listener) {
    if (!listener)
        return NS_ERROR_NULL_POINTER;
    *listener = mContentListener.get();
    NS_IF_ADDREF(*listener);
    return NS_OK;
}

// nsIWebBrowserFocus

nsresult WebBrowser::Activate() {
    if (mView)
        mView->SetFocus(true);
    if (nsCOMPtr<nsIWindowWatcher> watcher = do_GetService<nsIWindowWatcher>(kWindowWatcher))
        watcher->SetActiveWindow(mWindow);
    return NS_OK;
}

nsresult WebBrowser::Deactivate() {
    if (mView)
        mView->SetFocus(false);
    return NS_OK;
}

// nsIClipboardCommands

nsresult WebBrowser::CanCutSelection(PRBool* result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = mView && mView->CanExecute(EditCommand::Cut);
    return NS_OK;
}

nsresult WebBrowser::CanCopySelection(PRBool* result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = mView && mView->CanExecute(EditCommand::Copy);
    return NS_OK;
}

nsresult WebBrowser::CanPaste(PRBool* result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = mView && mView->CanExecute(EditCommand::Paste);
    return NS_OK;
}

bool WebBrowser::RunClipboardHook(bool paste) {
    if (!mHooks)
        return true;
    PRBool go = true;
    if (paste)
        mHooks->OnPasteOrDrop(nullptr, nullptr, &go);
    else
        mHooks->OnCopyOrDrag(nullptr, nullptr, &go);
    return go;
}

nsresult WebBrowser::CutSelection() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    if (RunClipboardHook(false))
        mView->Execute(EditCommand::Cut);
    return NS_OK;
}

nsresult WebBrowser::CopySelection() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    if (RunClipboardHook(false))
        mView->Execute(EditCommand::Copy);
    return NS_OK;
}

nsresult WebBrowser::Paste() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    if (RunClipboardHook(true))
        mView->Execute(EditCommand::Paste);
    return NS_OK;
}

nsresult WebBrowser::SelectAll() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->Execute(EditCommand::SelectAll);
    return NS_OK;
}

nsresult WebBrowser::SelectNone() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->Execute(EditCommand::SelectNone);
    return NS_OK;
}

// nsIWebBrowserPrint

nsresult WebBrowser::Print(nsIPrintSettings*, nsIWebProgressListener* listener) {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    PRBool withDialog = false;
    if (nsCOMPtr<nsIPref> prefs = do_GetService<nsIPref>("@mozilla.org/preferences;1"))
        prefs->GetBoolPref("print.use_native_print_dialog", &withDialog);
    nsCOMPtr<nsIWebProgressListener> keep = listener;
    nsCOMPtr<nsIWebProgress> progress = this;
    nsCOMPtr<nsIRequest> request = new NamedRequest(mCurrentUrl);
    const bool started = mView->Print(withDialog, [keep, progress, request](bool printed) {
        if (keep)
            keep->OnStateChange(progress, request,
                                nsIWebProgressListener::STATE_STOP |
                                    nsIWebProgressListener::STATE_IS_DOCUMENT,
                                printed ? NS_OK : NS_ERROR_ABORT);
    });
    if (!started)
        return NS_ERROR_FAILURE;
    if (listener)
        listener->OnStateChange(
            this, request,
            nsIWebProgressListener::STATE_START | nsIWebProgressListener::STATE_IS_DOCUMENT, NS_OK);
    return NS_OK;
}

nsresult WebBrowser::PrintPreview(nsIPrintSettings*, nsIDOMWindow*, nsIWebProgressListener*) {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    return mView->PrintPreview(true) ? NS_OK : NS_ERROR_NOT_IMPLEMENTED;
}

nsresult WebBrowser::ExitPrintPreview() {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    return mView->PrintPreview(false) ? NS_OK : NS_ERROR_NOT_IMPLEMENTED;
}

// nsIInterfaceRequestor, nsICommandManager, nsIWebProgress

nsresult WebBrowser::GetInterface(const nsIID& iid, void** result) {
    if (iid.Equals(NS_GET_IID(nsIDOMWindow)))
        return mWindow->QueryInterface(iid, result);
    return QueryInterface(iid, result);
}

nsresult WebBrowser::DoCommand(const char* command, nsICommandParams* params, nsIDOMWindow*) {
    if (!command)
        return NS_ERROR_NULL_POINTER;
    if (std::string(command) != "cmd_clipboardDragDropHook")
        return NS_ERROR_NOT_IMPLEMENTED;
    if (!params)
        return NS_ERROR_NULL_POINTER;
    nsCOMPtr<nsISupports> value;
    if (NS_SUCCEEDED(params->GetISupportsValue("addhook", getter_AddRefs(value))) && value) {
        mHooks = do_QueryInterface<nsIClipboardDragDropHooks>(value);
        if (!mHooks)
            return NS_NOINTERFACE;
        // The page decides a drag at once; it learns the hook's answer in advance.
        PRBool allow = true;
        mHooks->AllowStartDrag(nullptr, &allow);
        if (mView)
            mView->SetDragsRefused(!allow);
        return NS_OK;
    }
    if (NS_SUCCEEDED(params->GetISupportsValue("removehook", getter_AddRefs(value))) && value) {
        nsCOMPtr<nsIClipboardDragDropHooks> hooks =
            do_QueryInterface<nsIClipboardDragDropHooks>(value);
        if (hooks.get() == mHooks.get()) {
            mHooks = nullptr;
            if (mView)
                mView->SetDragsRefused(false);
        }
        return NS_OK;
    }
    return NS_ERROR_INVALID_ARG;
}

nsresult WebBrowser::GetDOMWindow(nsIDOMWindow** window) {
    return GetContentDOMWindow(window);
}

// What the engine reports

template <class F> void WebBrowser::ForEachProgressListener(F call) {
    // Listeners may go away while they are told; keep each alive for its call.
    std::vector<nsCOMPtr<nsIWebProgressListener>> alive;
    for (const auto& [reference, iid] : mListeners) {
        if (iid != NS_GET_IID(nsIWebProgressListener))
            continue;
        if (nsCOMPtr<nsIWebProgressListener> listener =
                do_QueryReferent<nsIWebProgressListener>(reference))
            alive.push_back(listener);
    }
    for (auto& listener : alive)
        call(listener.get());
}

NavigationVerdict WebBrowser::OnDecideNavigation(const EngineNavigation& navigation) {
    if (!mContentListener)
        return NavigationVerdict::Allow;
    nsCOMPtr<nsIURI> uri = new SimpleURI(navigation.url);
    PRBool abort = false;
    nsCOMPtr<nsIURIContentListener> listener = mContentListener;
    const EngineNavigation* outer = mDeciding;
    mDeciding = &navigation;
    mDecideWithFrame = false;
    listener->OnStartURIOpen(uri, &abort);
    mDeciding = outer;
    if (!abort)
        return NavigationVerdict::Allow;
    return mDecideWithFrame && navigation.frameLater ? NavigationVerdict::DecideWithFrame
                                                     : NavigationVerdict::Refuse;
}

bool WebBrowser::AllowsScriptUrl(const std::string& url) {
    // The embedder loads it into its own main frame.
    EngineNavigation navigation;
    navigation.url = url;
    navigation.frame = NavigationFrame::Main;
    return OnDecideNavigation(navigation) == NavigationVerdict::Allow;
}

nsresult WebBrowser::Find(const PRUnichar* text, PRBool backwards) {
    if (!mView)
        return NS_ERROR_NOT_INITIALIZED;
    mView->Find(text ? nsMemory::ToUTF8(text) : std::string(), backwards);
    return NS_OK;
}

void WebBrowser::OnRendererGone(const std::string& reason) {
    const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    const bool again = mCrashes.Record(now);
    PRBool reload = !again;
    if (nsCOMPtr<nsIRendererListener> listener = do_QueryInterface<nsIRendererListener>(mChrome))
        listener->OnRendererLost(reason.c_str(), again, &reload);
    nsCOMPtr<nsIWebBrowser> self = this;
    EventQueue::Post([self, reload] {
        auto* browser = static_cast<WebBrowser*>(self.get());
        if (!browser->mView)
            return;
        if (reload) {
            browser->mView->LoadUrl(browser->mCurrentUrl.empty() ? std::string("about:blank")
                                                                 : browser->mCurrentUrl);
        } else if (browser->mChrome) {
            browser->mChrome->DestroyBrowserWindow();
        }
    });
}

bool WebBrowser::OnKey(const EngineKey& key) {
    nsCOMPtr<nsIBrowserKeyListener> listener = do_QueryInterface<nsIBrowserKeyListener>(mChrome);
    if (!listener)
        return false;
    const PRUint32 modifiers = (key.ctrl ? KEY_MODIFIER_CTRL : 0) |
                               (key.alt ? KEY_MODIFIER_ALT : 0) |
                               (key.shift ? KEY_MODIFIER_SHIFT : 0);
    PRBool handled = false;
    listener->OnKey(key.name.c_str(), modifiers, &handled);
    return handled;
}

nsresult WebBrowser::SetProperty(PRUint32 id, PRUint32 value) {
    if (id == SETUP_ZOOM_PERCENT) {
        if (value < 10 || value > 1000)
            return NS_ERROR_INVALID_ARG;
        if (mView)
            mView->SetZoom(value / 100.0);
        return NS_OK;
    }
    if (id != SETUP_CONTEXT_MENU)
        return NS_ERROR_INVALID_ARG;
    switch (value) {
    case CONTEXT_MENU_ENGINE:
        mContextMenu = ContextMenuKind::Engine;
        break;
    case CONTEXT_MENU_APPLICATION:
        mContextMenu = ContextMenuKind::Application;
        break;
    case CONTEXT_MENU_NONE:
        mContextMenu = ContextMenuKind::None;
        break;
    default:
        return NS_ERROR_INVALID_ARG;
    }
    if (mView)
        mView->SetContextMenu(mContextMenu);
    return NS_OK;
}

nsresult WebBrowser::GetFrameKind(PRInt32* kind) {
    if (!kind)
        return NS_ERROR_NULL_POINTER;
    *kind = frameUnknown;
    if (mDeciding && mDeciding->frame == NavigationFrame::Main)
        *kind = frameMain;
    else if (mDeciding && mDeciding->frame == NavigationFrame::Sub)
        *kind = frameSub;
    return mDeciding ? NS_OK : NS_ERROR_NOT_AVAILABLE;
}

nsresult WebBrowser::GetFrameLater(PRBool* later) {
    if (!later)
        return NS_ERROR_NULL_POINTER;
    *later = mDeciding && mDeciding->frameLater;
    return mDeciding ? NS_OK : NS_ERROR_NOT_AVAILABLE;
}

nsresult WebBrowser::GetUserGesture(PRBool* byUser) {
    if (!byUser)
        return NS_ERROR_NULL_POINTER;
    *byUser = mDeciding && mDeciding->userGesture;
    return mDeciding ? NS_OK : NS_ERROR_NOT_AVAILABLE;
}

nsresult WebBrowser::GetFormPost(PRBool* post) {
    if (!post)
        return NS_ERROR_NULL_POINTER;
    *post = mDeciding && mDeciding->formPost;
    return mDeciding ? NS_OK : NS_ERROR_NOT_AVAILABLE;
}

nsresult WebBrowser::SetDecideWithFrame(PRBool later) {
    if (!mDeciding)
        return NS_ERROR_NOT_AVAILABLE;
    mDecideWithFrame = later;
    return NS_OK;
}

bool WebBrowser::OnDecideResponse(const std::string&, const std::string& mimeType,
                                  bool attachment) {
    if (attachment)
        return false;
    if (mContentListener) {
        PRBool can = false;
        char* desired = nullptr;
        if (NS_SUCCEEDED(mContentListener->IsPreferred(mimeType.c_str(), &desired, &can))) {
            nsMemory::Free(desired);
            return can;
        }
    }
    return EngineBackend::Get().CanShowMimeType(mimeType);
}

void WebBrowser::OnLoadStarted(const std::string& url) {
    nsCOMPtr<nsIRequest> request = new NamedRequest(url);
    ForEachProgressListener([&](nsIWebProgressListener* l) {
        l->OnStateChange(this, request,
                         nsIWebProgressListener::STATE_START |
                             nsIWebProgressListener::STATE_IS_DOCUMENT |
                             nsIWebProgressListener::STATE_IS_NETWORK,
                         NS_OK);
    });
}

void WebBrowser::OnLocationChanged(const std::string& url, bool mainFrame) {
    nsCOMPtr<nsIRequest> request = new NamedRequest(url);
    nsCOMPtr<nsIURI> uri = new SimpleURI(url);
    nsCOMPtr<nsIWebProgress> progress = this;
    if (mainFrame) {
        mCurrentUrl = url;
        mDialogsStopped = false; // a new page may ask again
        mLastDialogEnd = 0;
    } else {
        // A sub-frame's own window, whose top window is this browser's.
        nsCOMPtr<nsIDOMWindow> frame = new DOMWindow(this, mWindow);
        progress = new WebProgress(frame);
    }
    ForEachProgressListener(
        [&](nsIWebProgressListener* l) { l->OnLocationChange(progress, request, uri); });
}

void WebBrowser::OnLoadFinished(const std::string& url, bool failed) {
    nsCOMPtr<nsIRequest> request = new NamedRequest(url);
    ForEachProgressListener([&](nsIWebProgressListener* l) {
        l->OnStateChange(this, request,
                         nsIWebProgressListener::STATE_STOP |
                             nsIWebProgressListener::STATE_IS_DOCUMENT |
                             nsIWebProgressListener::STATE_IS_NETWORK,
                         failed ? NS_ERROR_FAILURE : NS_OK);
    });
}

void WebBrowser::OnProgress(double fraction) {
    const PRInt32 current = static_cast<PRInt32>(std::clamp(fraction, 0.0, 1.0) * 100);
    nsCOMPtr<nsIRequest> request = new NamedRequest(mCurrentUrl);
    ForEachProgressListener([&](nsIWebProgressListener* l) {
        l->OnProgressChange(this, request, current, 100, current, 100);
    });
}

void WebBrowser::OnTitleChanged(const std::string& title) {
    if (nsCOMPtr<nsIEmbeddingSiteWindow> site = do_QueryInterface<nsIEmbeddingSiteWindow>(mChrome))
        site->SetTitle(U16(title).c_str());
}

void WebBrowser::OnStatusText(const std::string& text) {
    if (mChrome)
        mChrome->SetStatus(nsIWebBrowserChrome::STATUS_LINK, U16(text).c_str());
}

void WebBrowser::OnSecurityChanged(bool secure) {
    nsCOMPtr<nsIRequest> request = new NamedRequest(mCurrentUrl);
    const PRUint32 state = secure ? nsIWebProgressListener::STATE_IS_SECURE
                                  : nsIWebProgressListener::STATE_IS_INSECURE;
    ForEachProgressListener(
        [&](nsIWebProgressListener* l) { l->OnSecurityChange(this, request, state); });
}

EngineView* WebBrowser::OnCreateWindow(const WindowFeatures& features) {
    nsCOMPtr<WindowWatcher> watcher =
        dynamic_cast<WindowWatcher*>(do_GetService<nsIWindowWatcher>(kWindowWatcher).get());
    if (!watcher || !watcher->Creator() || !mView)
        return nullptr;
    PRUint32 flags = nsIWebBrowserChrome::CHROME_WINDOW_BORDERS |
                     nsIWebBrowserChrome::CHROME_WINDOW_CLOSE |
                     nsIWebBrowserChrome::CHROME_TITLEBAR;
    if (features.resizable)
        flags |= nsIWebBrowserChrome::CHROME_WINDOW_RESIZE;
    if (features.scrollbars)
        flags |= nsIWebBrowserChrome::CHROME_SCROLLBARS;
    if (features.toolbar)
        flags |= nsIWebBrowserChrome::CHROME_TOOLBAR;
    if (features.menubar)
        flags |= nsIWebBrowserChrome::CHROME_MENUBAR;
    if (features.statusbar)
        flags |= nsIWebBrowserChrome::CHROME_STATUSBAR;
    if (features.locationbar)
        flags |= nsIWebBrowserChrome::CHROME_LOCATIONBAR;

    nsCOMPtr<nsIWebBrowserChrome> chrome;
    EngineView* previous = g_pendingOpener;
    g_pendingOpener = mView.get();
    watcher->Creator()->CreateChromeWindow(mChrome, flags, getter_AddRefs(chrome));
    g_pendingOpener = previous;
    if (!chrome)
        return nullptr;
    nsCOMPtr<nsIWebBrowser> browser;
    chrome->GetWebBrowser(getter_AddRefs(browser));
    auto* created = dynamic_cast<WebBrowser*>(browser.get());
    if (created)
        created->mOpenedByPage = true;
    return created ? created->mView.get() : nullptr;
}

void WebBrowser::ApplyDimensions(const WindowFeatures& features) {
    nsCOMPtr<nsIEmbeddingSiteWindow> site = do_QueryInterface<nsIEmbeddingSiteWindow>(mChrome);
    if (!site)
        return;
    PRUint32 flags = 0;
    if (features.hasPosition)
        flags |= nsIEmbeddingSiteWindow::DIM_FLAGS_POSITION;
    if (features.hasSize)
        flags |= nsIEmbeddingSiteWindow::DIM_FLAGS_SIZE_INNER;
    if (flags)
        site->SetDimensions(flags, features.x, features.y, features.width, features.height);
}

void WebBrowser::OnReadyToShow(const WindowFeatures& features) {
    ApplyDimensions(features);
    if (nsCOMPtr<nsIEmbeddingSiteWindow> site = do_QueryInterface<nsIEmbeddingSiteWindow>(mChrome))
        site->SetVisibility(true);
}

void WebBrowser::OnGeometryRequest(const WindowFeatures& features) {
    ApplyDimensions(features);
}

nsresult WebBrowser::TryClose(std::function<void(bool mayClose)> done) {
    if (!done)
        return NS_ERROR_NULL_POINTER;
    if (!mView) {
        done(true);
        return NS_OK;
    }
    mCloseAsked = std::move(done);
    mView->TryClose();
    return NS_OK;
}

void WebBrowser::OnCloseRequested() {
    if (mCloseAsked) {
        // The page agreed to go: the embedder closes, not the page.
        std::function<void(bool)> done = std::move(mCloseAsked);
        mCloseAsked = nullptr;
        nsCOMPtr<nsIWebBrowser> self = this;
        EventQueue::Post([self, done] { done(true); });
        return;
    }
    nsCOMPtr<nsIWebBrowser> self = this;
    EventQueue::Post([self] {
        auto* browser = static_cast<WebBrowser*>(self.get());
        if (browser->mChrome)
            browser->mChrome->DestroyBrowserWindow();
    });
}

bool WebBrowser::OnScriptDialog(ScriptDialogType type, const std::string& message,
                                const std::string& defaultText, bool* confirmed,
                                std::string* text) {
    if (!nsComponentManager::IsRegistered(kPromptService))
        return false;
    nsCOMPtr<nsIPromptService> prompts = do_GetService<nsIPromptService>(kPromptService);
    if (!prompts)
        return false;
    const std::u16string body = U16(message);
    // Whose question it is: the page's origin, as browsers show it.
    const std::u16string title = U16(OriginOf(mCurrentUrl));
    PRBool result = false;
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    if (mDialogsStopped && type != ScriptDialogType::BeforeUnload) {
        if (confirmed)
            *confirmed = false;
        return true; // answered as cancelled, unseen
    }
    // A second dialog soon after the last one: the user may stop them.
    const bool offerStop =
        type != ScriptDialogType::BeforeUnload && mLastDialogEnd && now() - mLastDialogEnd < 30000;
    const PRUnichar* stopText = offerStop ? kStopDialogsCheckText : nullptr;
    PRBool stop = false;
    switch (type) {
    case ScriptDialogType::Alert:
        if (offerStop)
            prompts->AlertCheck(mWindow, title.c_str(), body.c_str(), stopText, &stop);
        else
            prompts->Alert(mWindow, title.c_str(), body.c_str());
        result = true;
        break;
    case ScriptDialogType::Confirm:
        if (offerStop)
            prompts->ConfirmCheck(mWindow, title.c_str(), body.c_str(), stopText, &stop, &result);
        else
            prompts->Confirm(mWindow, title.c_str(), body.c_str(), &result);
        break;
    case ScriptDialogType::BeforeUnload:
        prompts->Confirm(mWindow, title.c_str(), kLeavePageText, &result);
        break;
    case ScriptDialogType::Prompt: {
        PRUnichar* value = nsMemory::CloneUnicode(U16(defaultText));
        prompts->Prompt(mWindow, title.c_str(), body.c_str(), &value, stopText, &stop, &result);
        if (text)
            *text = nsMemory::ToUTF8(nsMemory::FromUnicode(value));
        nsMemory::Free(value);
        break;
    }
    }
    mLastDialogEnd = now();
    if (stop)
        mDialogsStopped = true;
    if (confirmed)
        *confirmed = result;
    if (type == ScriptDialogType::BeforeUnload && !result && mCloseAsked) {
        // The user stays: the close is off.
        std::function<void(bool)> done = std::move(mCloseAsked);
        mCloseAsked = nullptr;
        nsCOMPtr<nsIWebBrowser> self = this;
        EventQueue::Post([self, done] { done(false); });
    }
    return true;
}

bool WebBrowser::OnAskPermission(const std::string& title, const std::string& question,
                                 const std::string& allowLabel, const std::string& denyLabel) {
    if (!nsComponentManager::IsRegistered(kPromptService))
        return false;
    nsCOMPtr<nsIPromptService> prompts = do_GetService<nsIPromptService>(kPromptService);
    if (!prompts)
        return false;
    PRInt32 pressed = 1;
    PRBool check = false;
    prompts->ConfirmEx(mWindow, U16(title).c_str(), U16(question).c_str(), 0,
                       U16(allowLabel).c_str(), U16(denyLabel).c_str(), nullptr, nullptr, &check,
                       &pressed);
    return pressed == 0;
}

bool WebBrowser::OnAuthenticate(const std::string& host, const std::string& realm,
                                std::string* user, std::string* password, bool* ok) {
    if (!nsComponentManager::IsRegistered(kPromptService))
        return false;
    nsCOMPtr<nsIPromptService> prompts = do_GetService<nsIPromptService>(kPromptService);
    if (!prompts)
        return false;
    const std::u16string text =
        U16("Enter user name and password for \"" + realm + "\" at " + host);
    PRUnichar* name = nsMemory::CloneUnicode(U16(user ? *user : std::string()));
    PRUnichar* secret = nsMemory::CloneUnicode(u"");
    PRBool check = false, result = false;
    prompts->PromptUsernameAndPassword(mWindow, u"Authentication", text.c_str(), &name, &secret,
                                       nullptr, &check, &result);
    const std::string chosenUser = TakeUnicode(name), chosenPassword = TakeUnicode(secret);
    if (user)
        *user = chosenUser;
    if (password)
        *password = chosenPassword;
    if (ok)
        *ok = result;
    return true;
}

void WebBrowser::OnDownload(EngineDownload& download) {
    nsCOMPtr<nsIHelperAppLauncherDialog> dialog =
        do_CreateInstance<nsIHelperAppLauncherDialog>(kHelperAppDialog);
    if (!dialog) {
        download.Cancel();
        return;
    }
    nsCOMPtr<HelperAppLauncher> launcher = new HelperAppLauncher(download, dialog);
    dialog->Show(launcher, nullptr);
    if (!launcher->Decided())
        launcher->Cancel();
    launcher->Detach();
    // A window a page opened only for this download has nothing to show: it
    // went straight to the file, or showed only the empty page a script opens
    // before it sends the window on (window.open('') and then its location).
    if (mOpenedByPage && (mCurrentUrl.empty() || mCurrentUrl == "about:blank"))
        OnCloseRequested();
}

bool WebBrowser::OnDragStart() {
    if (!mHooks)
        return true;
    PRBool allow = true;
    mHooks->AllowStartDrag(nullptr, &allow);
    return allow;
}

bool WebBrowser::OnDrop() {
    if (!mHooks)
        return true;
    PRBool allow = true;
    mHooks->AllowDrop(nullptr, nullptr, &allow);
    return allow;
}
