#pragma once

#include <deque>

#include "browserlib/runtime/engine/EngineView.h"

#include <memory>

#include <webkit2/webkit2.h>
#include <wx/weakref.h>
#include <wx/window.h>

class WebKitBackend;

// One WebKitWebView, embedded in a toolkit window.
class WebKitEngineView : public EngineView {
public:
    WebKitEngineView(WebKitBackend& backend, EngineViewClient* client, WebKitWebView* related);
    ~WebKitEngineView() override;

    static WebKitEngineView* FromWidget(WebKitWebView* view);
    WebKitWebView* Widget() const { return m_view; }
    EngineViewClient* Client() const { return m_client; }

    bool Attach(void* parent, int x, int y, int width, int height) override;
    void Detach() override;
    void LoadUrl(const std::string& url) override;
    void RunScript(const std::string& script) override;
    bool CanGoBack() const override;
    bool CanGoForward() const override;
    void GoBack() override;
    void GoForward() override;
    void Reload() override;
    void Stop() override;
    std::string Url() const override;
    std::string Title() const override;
    void SetBounds(int x, int y, int width, int height) override;
    void GetBounds(int* x, int* y, int* width, int* height) const override;
    void SetVisible(bool visible) override;
    bool IsVisible() const override;
    void SetFocus(bool focus) override;
    bool CanExecute(EditCommand command) override;
    void Execute(EditCommand command) override;
    bool Print(bool withDialog, std::function<void(bool printed)> done) override;
    bool PrintPreview(bool on) override;
    void GetSource(std::function<void(const std::string& source)> done) override;
    void SetDragsRefused(bool refused) override;
    void SetContextMenu(ContextMenuKind kind) override { m_contextMenu = kind; }
    void SetZoom(double factor) override;
    void TryClose() override { webkit_web_view_try_close(m_view); }
    void Find(const std::string& text, bool backwards) override;
    // Runs the load asked for while the engine's document rules were compiled.
    void LoadWaiting();

private:
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType,
                                   gpointer);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent, gpointer);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer);
    static void OnProgress(GObject*, GParamSpec*, gpointer);
    static void OnTitle(GObject*, GParamSpec*, gpointer);
    static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult*, guint, gpointer);
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer);
    static void OnReadyToShow(WebKitWebView*, gpointer);
    static void OnGeometry(GObject*, GParamSpec*, gpointer);
    static void OnClose(WebKitWebView*, gpointer);
    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer);
    static gboolean OnPermissionRequest(WebKitWebView*, WebKitPermissionRequest*, gpointer);
    static gboolean OnShowNotification(WebKitWebView*, WebKitNotification*, gpointer);
    static gboolean OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest*, gpointer);
    static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                  WebKitHitTestResult*, gpointer);
    static void OnRendererTerminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey*, gpointer);
    static void OnFound(WebKitFindController*, guint, gpointer);
    static void OnNotFound(WebKitFindController*, gpointer);
    static void OnDragMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer);
    static void OnKeyMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer);
    static gboolean OnDragDrop(GtkWidget*, GdkDragContext*, gint, gint, guint, gpointer);

    WindowFeatures Features() const;
    void RefreshEditState(EditCommand command, const char* name);

    WebKitBackend& m_backend;
    EngineViewClient* m_client;
    WebKitWebView* m_view = nullptr;
    wxWeakRef<wxWindow> m_native;
    bool m_failed = false;
    std::string m_pendingUrl;
    // Navigations let start until their frame is known; the main frame's load
    // events are held back meanwhile, and dropped when it is then refused.
    struct Deferred {
        std::string url;
        bool formPost = false;
        bool redirect = false;
        gint64 since = 0; // monotonic microseconds
    };
    std::deque<Deferred> m_deferred;
    std::string m_heldStart;
    bool m_dropLoad = false;
    // Between a main-frame load's start and its commit or end.
    bool m_mainProvisional = false;
    // A load the engine's rules keep out leaves no trace unless it was the
    // main frame's: what is left after a while was a frame's.
    guint m_frameCheck = 0;
    static gboolean OnFrameCheck(gpointer);
    void DecideBlockedMainFrame(const std::string& url);
    std::string m_waitingUrl;
    ContextMenuKind m_contextMenu = ContextMenuKind::Engine;
    std::string m_findText;
    bool IsDeferred(const std::string& url) const;
    bool DecideDeferred(const std::string& url, bool mainFrame);
    std::deque<Deferred>::iterator FindDeferred(const std::string& url);
    bool m_dragsRefused = false;
    WebKitUserScript* m_dragFlag = nullptr;
    bool m_documentShown = false;
    int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    bool m_canEdit[5] = {false, false, false, true, true};
};
