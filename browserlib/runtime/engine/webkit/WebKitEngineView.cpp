#include "browserlib/runtime/engine/webkit/WebKitEngineView.h"

#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/engine/PermissionPolicy.h"

#include "browserlib/runtime/engine/FailurePage.h"
#include "browserlib/runtime/engine/webkit/WebKitBackend.h"
#include "browserlib/runtime/engine/webkit/WebKitNotifier.h"

#include <wx/log.h>
#include <wx/nativewin.h>

#include <algorithm>

namespace {
const char* kViewKey = "velta-engine-view";

std::string Str(const char* text) {
    return text ? text : "";
}

std::string SchemeOf(const std::string& url) {
    const size_t colon = url.find(':');
    std::string scheme = colon == std::string::npos ? std::string() : url.substr(0, colon);
    for (char& c : scheme)
        c = static_cast<char>(g_ascii_tolower(c));
    return scheme;
}

bool IsAttachment(WebKitURIResponse* response) {
    SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response);
    const char* disposition =
        headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
    return disposition && g_ascii_strncasecmp(disposition, "attachment", 10) == 0;
}

struct SourceRequest {
    std::function<void(const std::string&)> done;
};

void OnSourceData(GObject* resource, GAsyncResult* result, gpointer data) {
    auto* request = static_cast<SourceRequest*>(data);
    gsize length = 0;
    guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(resource), result,
                                                        &length, nullptr);
    request->done(bytes ? std::string(reinterpret_cast<char*>(bytes), length) : std::string());
    g_free(bytes);
    delete request;
}

struct EditQuery {
    WebKitEngineView* view;
    bool* target;
};
} // namespace

WebKitEngineView::WebKitEngineView(WebKitBackend& backend, EngineViewClient* client,
                                   WebKitWebView* related)
    : m_backend(backend), m_client(client) {
    // A window a page opens shares its opener's web process, so `opener` works;
    // the first view takes over the process started ahead of it.
    m_view = backend.NewWebView(related);
    g_object_set_data(G_OBJECT(m_view), kViewKey, this);
    backend.Register(this);

    g_signal_connect(m_view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(m_view, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(m_view, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(m_view, "notify::estimated-load-progress", G_CALLBACK(OnProgress), this);
    g_signal_connect(m_view, "notify::title", G_CALLBACK(OnTitle), this);
    g_signal_connect(m_view, "mouse-target-changed", G_CALLBACK(OnMouseTarget), this);
    g_signal_connect(m_view, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(m_view, "ready-to-show", G_CALLBACK(OnReadyToShow), this);
    g_signal_connect(m_view, "close", G_CALLBACK(OnClose), this);
    g_signal_connect(m_view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
    g_signal_connect(m_view, "permission-request", G_CALLBACK(OnPermissionRequest), this);
    g_signal_connect(m_view, "show-notification", G_CALLBACK(OnShowNotification), this);
    g_signal_connect(m_view, "authenticate", G_CALLBACK(OnAuthenticate), this);
    g_signal_connect(m_view, "context-menu", G_CALLBACK(OnContextMenu), this);
    // After the view's own handler: the page sees each key first, and only a
    // key it left alone (no preventDefault, no editor that took it) comes back
    // here, when the engine hands it on.
    g_signal_connect_after(m_view, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(m_view, "web-process-terminated", G_CALLBACK(OnRendererTerminated), this);
    WebKitFindController* finder = webkit_web_view_get_find_controller(m_view);
    g_signal_connect(finder, "found-text", G_CALLBACK(OnFound), this);
    g_signal_connect(finder, "failed-to-find-text", G_CALLBACK(OnNotFound), this);
    // A drag starting in the page is decided in the page itself: the toolkit
    // offers no safe way to call one off once it has begun.
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_view);
    webkit_user_content_manager_register_script_message_handler(content, "veltaDrag");
    g_signal_connect(content, "script-message-received::veltaDrag", G_CALLBACK(OnDragMessage),
                     this);
    WebKitUserScript* guard = webkit_user_script_new(
        "(function () { if (window.__veltaDragGuard) return; window.__veltaDragGuard = true;"
        " document.addEventListener('dragstart', function (e) {"
        "  if (window.webkit && webkit.messageHandlers && webkit.messageHandlers.veltaDrag)"
        "   webkit.messageHandlers.veltaDrag.postMessage('dragstart');"
        "  if (window.__veltaRefuseDrags) e.preventDefault(); }, true); })();",
        WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr,
        nullptr);
    webkit_user_content_manager_add_script(content, guard);
    webkit_user_script_unref(guard);
    // Alt+Left and Alt+Right: the engine's own default (scrolling) takes them
    // before they could come back, so the page says once its handlers are
    // done whether it left them alone.
    webkit_user_content_manager_register_script_message_handler(content, "veltaKey");
    g_signal_connect(content, "script-message-received::veltaKey", G_CALLBACK(OnKeyMessage), this);
    WebKitUserScript* keys = webkit_user_script_new(
        "(function () { if (window.__veltaKeys) return; window.__veltaKeys = true;"
        " window.addEventListener('keydown', function (e) {"
        "  if (!e.altKey || e.ctrlKey || e.metaKey || e.shiftKey) return;"
        "  if (e.key !== 'ArrowLeft' && e.key !== 'ArrowRight') return;"
        "  setTimeout(function () { if (!e.defaultPrevented && window.webkit &&"
        "   webkit.messageHandlers && webkit.messageHandlers.veltaKey)"
        "   webkit.messageHandlers.veltaKey.postMessage(e.key === 'ArrowLeft' ? 'left' : 'right');"
        "  }, 0); }); })();",
        WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr,
        nullptr);
    webkit_user_content_manager_add_script(content, keys);
    webkit_user_script_unref(keys);
    g_signal_connect(m_view, "drag-drop", G_CALLBACK(OnDragDrop), this);
    g_signal_connect(webkit_web_view_get_window_properties(m_view), "notify::geometry",
                     G_CALLBACK(OnGeometry), this);
}

WebKitEngineView::~WebKitEngineView() {
    if (m_frameCheck)
        g_source_remove(m_frameCheck);
    Detach();
    m_backend.Unregister(this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_window_properties(m_view), this);
    g_signal_handlers_disconnect_by_data(m_view, this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_find_controller(m_view), this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(m_view), this);
    g_object_set_data(G_OBJECT(m_view), kViewKey, nullptr);
    if (m_dragFlag)
        webkit_user_script_unref(m_dragFlag);
    g_object_unref(m_view);
}

WebKitEngineView* WebKitEngineView::FromWidget(WebKitWebView* view) {
    return view ? static_cast<WebKitEngineView*>(g_object_get_data(G_OBJECT(view), kViewKey))
                : nullptr;
}

bool WebKitEngineView::Attach(void* parent, int x, int y, int width, int height) {
    auto* window = static_cast<wxWindow*>(parent);
    if (!window || m_native)
        return false;
    // The toolkit holds references of its own; ours keeps the view until we let go.
    m_native = new wxNativeWindow(window, wxID_ANY, GTK_WIDGET(m_view));
    SetBounds(x, y, width, height);
    return true;
}

void WebKitEngineView::Detach() {
    m_client = nullptr;
    webkit_web_view_stop_loading(m_view);
    if (GtkWidget* parent = gtk_widget_get_parent(GTK_WIDGET(m_view)))
        gtk_container_remove(GTK_CONTAINER(parent), GTK_WIDGET(m_view));
    if (m_native) {
        wxWindow* native = m_native;
        m_native = nullptr;
        native->Destroy();
    }
}

void WebKitEngineView::LoadUrl(const std::string& url) {
    // An empty page requests nothing and does not replace the page to come.
    const bool blank = url.rfind("about:", 0) == 0;
    if (m_backend.DocumentRulesPending() && !blank) {
        m_waitingUrl = url;
        return;
    }
    if (!blank)
        m_waitingUrl.clear();
    webkit_web_view_load_uri(m_view, url.c_str());
}

void WebKitEngineView::LoadWaiting() {
    const std::string url = std::move(m_waitingUrl); // LoadUrl clears it
    if (!url.empty())
        LoadUrl(url);
}

void WebKitEngineView::RunScript(const std::string& script) {
    webkit_web_view_evaluate_javascript(m_view, script.c_str(), static_cast<gssize>(script.size()),
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}

bool WebKitEngineView::CanGoBack() const {
    return webkit_web_view_can_go_back(m_view);
}
bool WebKitEngineView::CanGoForward() const {
    return webkit_web_view_can_go_forward(m_view);
}
void WebKitEngineView::GoBack() {
    webkit_web_view_go_back(m_view);
}
void WebKitEngineView::GoForward() {
    webkit_web_view_go_forward(m_view);
}
void WebKitEngineView::Reload() {
    webkit_web_view_reload(m_view);
}
void WebKitEngineView::Stop() {
    webkit_web_view_stop_loading(m_view);
}
std::string WebKitEngineView::Url() const {
    return Str(webkit_web_view_get_uri(m_view));
}
std::string WebKitEngineView::Title() const {
    return Str(webkit_web_view_get_title(m_view));
}

void WebKitEngineView::SetBounds(int x, int y, int width, int height) {
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    if (m_native)
        m_native->SetSize(x, y, width, height);
}

void WebKitEngineView::GetBounds(int* x, int* y, int* width, int* height) const {
    if (x)
        *x = m_x;
    if (y)
        *y = m_y;
    if (width)
        *width = m_width;
    if (height)
        *height = m_height;
}

void WebKitEngineView::SetVisible(bool visible) {
    if (m_native)
        m_native->Show(visible);
}

bool WebKitEngineView::IsVisible() const {
    return m_native && m_native->IsShown();
}

void WebKitEngineView::SetFocus(bool focus) {
    if (focus)
        gtk_widget_grab_focus(GTK_WIDGET(m_view));
}

void WebKitEngineView::RefreshEditState(EditCommand command, const char* name) {
    // The engine answers asynchronously; the answer serves the next question.
    auto* query = new EditQuery{this, &m_canEdit[static_cast<int>(command)]};
    webkit_web_view_can_execute_editing_command(
        m_view, name, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* q = static_cast<EditQuery*>(data);
            const gboolean can = webkit_web_view_can_execute_editing_command_finish(
                WEBKIT_WEB_VIEW(source), result, nullptr);
            if (WebKitEngineView::FromWidget(WEBKIT_WEB_VIEW(source)) == q->view)
                *q->target = can;
            delete q;
        },
        query);
}

bool WebKitEngineView::CanExecute(EditCommand command) {
    switch (command) {
    case EditCommand::Cut:
        RefreshEditState(command, WEBKIT_EDITING_COMMAND_CUT);
        break;
    case EditCommand::Copy:
        RefreshEditState(command, WEBKIT_EDITING_COMMAND_COPY);
        break;
    case EditCommand::Paste:
        RefreshEditState(command, WEBKIT_EDITING_COMMAND_PASTE);
        break;
    default:
        return true;
    }
    return m_canEdit[static_cast<int>(command)];
}

void WebKitEngineView::Execute(EditCommand command) {
    switch (command) {
    case EditCommand::Cut:
        webkit_web_view_execute_editing_command(m_view, WEBKIT_EDITING_COMMAND_CUT);
        break;
    case EditCommand::Copy:
        webkit_web_view_execute_editing_command(m_view, WEBKIT_EDITING_COMMAND_COPY);
        break;
    case EditCommand::Paste:
        webkit_web_view_execute_editing_command(m_view, WEBKIT_EDITING_COMMAND_PASTE);
        break;
    case EditCommand::SelectAll:
        webkit_web_view_execute_editing_command(m_view, WEBKIT_EDITING_COMMAND_SELECT_ALL);
        break;
    case EditCommand::SelectNone:
        RunScript("window.getSelection && window.getSelection().removeAllRanges();");
        break;
    }
}

bool WebKitEngineView::Print(bool withDialog, std::function<void(bool printed)> done) {
    WebKitPrintOperation* operation = webkit_print_operation_new(m_view);
    auto* callback = new std::function<void(bool)>(std::move(done));
    g_signal_connect(operation, "failed",
                     G_CALLBACK(+[](WebKitPrintOperation*, GError*, gpointer data) {
                         auto* f = static_cast<std::function<void(bool)>*>(data);
                         if (*f)
                             (*f)(false);
                         *f = nullptr;
                     }),
                     callback);
    g_signal_connect_data(
        operation, "finished", G_CALLBACK(+[](WebKitPrintOperation*, gpointer data) {
            auto* f = static_cast<std::function<void(bool)>*>(data);
            if (*f)
                (*f)(true);
            *f = nullptr;
        }),
        callback,
        [](gpointer data, GClosure*) { delete static_cast<std::function<void(bool)>*>(data); },
        G_CONNECT_DEFAULT);
    if (withDialog) {
        GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(m_view));
        const WebKitPrintOperationResponse response = webkit_print_operation_run_dialog(
            operation, GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr);
        if (response == WEBKIT_PRINT_OPERATION_RESPONSE_CANCEL) {
            g_object_unref(operation);
            return false;
        }
    } else {
        webkit_print_operation_print(operation);
    }
    g_object_unref(operation);
    return true;
}

bool WebKitEngineView::PrintPreview(bool) {
    return false;
}

void WebKitEngineView::GetSource(std::function<void(const std::string& source)> done) {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(m_view);
    if (!resource) {
        done(std::string());
        return;
    }
    webkit_web_resource_get_data(resource, nullptr, OnSourceData,
                                 new SourceRequest{std::move(done)});
}

WindowFeatures WebKitEngineView::Features() const {
    WindowFeatures f;
    WebKitWindowProperties* p = webkit_web_view_get_window_properties(m_view);
    GdkRectangle geometry{0, 0, 0, 0};
    webkit_window_properties_get_geometry(p, &geometry);
    f.hasSize = geometry.width > 0 && geometry.height > 0;
    f.hasPosition = f.hasSize && (geometry.x != 0 || geometry.y != 0);
    f.x = geometry.x;
    f.y = geometry.y;
    f.width = geometry.width;
    f.height = geometry.height;
    f.resizable = webkit_window_properties_get_resizable(p);
    f.toolbar = webkit_window_properties_get_toolbar_visible(p);
    f.menubar = webkit_window_properties_get_menubar_visible(p);
    f.statusbar = webkit_window_properties_get_statusbar_visible(p);
    f.scrollbars = webkit_window_properties_get_scrollbars_visible(p);
    f.locationbar = webkit_window_properties_get_locationbar_visible(p);
    return f;
}

gboolean WebKitEngineView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                          WebKitPolicyDecisionType type, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return FALSE;
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(navigation);
        WebKitURIRequest* request = webkit_navigation_action_get_request(action);
        EngineNavigation asked;
        asked.url = Str(webkit_uri_request_get_uri(request));
        asked.userGesture = webkit_navigation_action_is_user_gesture(action);
        const char* method = webkit_uri_request_get_http_method(request);
        asked.formPost = method && g_ascii_strcasecmp(method, "POST") == 0;
        const std::string scheme = SchemeOf(asked.url);
        // A response says which frame a load is for; web URLs and routed
        // schemes get one.
        asked.frameLater =
            scheme == "http" || scheme == "https" || self->m_backend.IsRouted(scheme);
        switch (self->m_client->OnDecideNavigation(asked)) {
        case NavigationVerdict::Allow:
            self->m_pendingUrl = asked.url;
            webkit_policy_decision_use(decision);
            break;
        case NavigationVerdict::DecideWithFrame:
            if (asked.frameLater) {
                if (self->m_deferred.size() >= 64) // loads that never answered
                    self->m_deferred.pop_front();
                self->m_deferred.push_back({asked.url, asked.formPost,
                                            webkit_navigation_action_is_redirect(action) != FALSE,
                                            g_get_monotonic_time()});
                // The engine's rules stop what lies outside before it is
                // requested; the rest is decided at its response.
                if (self->m_backend.BlocksDocument(asked.url) && !self->m_frameCheck)
                    self->m_frameCheck = g_timeout_add(250, OnFrameCheck, self);
                webkit_policy_decision_use(decision);
                break;
            }
            webkit_policy_decision_ignore(decision);
            break;
        case NavigationVerdict::Refuse:
            webkit_policy_decision_ignore(decision);
            break;
        }
        return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        const bool mainFrame =
            webkit_response_policy_decision_is_main_frame_main_resource(responseDecision);
        WebKitURIResponse* response =
            webkit_response_policy_decision_get_response(responseDecision);
        const std::string url = Str(webkit_uri_response_get_uri(response));
        if (self->IsDeferred(url) && !self->DecideDeferred(url, mainFrame)) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        if (!mainFrame)
            return FALSE;
        const std::string mime = Str(webkit_uri_response_get_mime_type(response));
        if (self->m_client->OnDecideResponse(url, mime, IsAttachment(response)))
            webkit_policy_decision_use(decision);
        else
            webkit_policy_decision_download(decision);
        return TRUE;
    }
    return FALSE; // new windows: the engine asks for one through "create"
}

bool WebKitEngineView::IsDeferred(const std::string& url) const {
    return std::any_of(m_deferred.begin(), m_deferred.end(),
                       [&](const Deferred& d) { return d.url == url; });
}

std::deque<WebKitEngineView::Deferred>::iterator
WebKitEngineView::FindDeferred(const std::string& url) {
    return std::find_if(m_deferred.begin(), m_deferred.end(),
                        [&](const Deferred& d) { return d.url == url; });
}

bool WebKitEngineView::DecideDeferred(const std::string& url, bool mainFrame) {
    EngineNavigation asked;
    const auto found = FindDeferred(url);
    if (found != m_deferred.end()) {
        asked.formPost = found->formPost;
        m_deferred.erase(found);
    }
    asked.url = url;
    asked.frame = mainFrame ? NavigationFrame::Main : NavigationFrame::Sub;
    const bool allowed =
        m_client && m_client->OnDecideNavigation(asked) == NavigationVerdict::Allow;
    if (mainFrame && m_heldStart == url) {
        m_heldStart.clear();
        if (allowed && m_client)
            m_client->OnLoadStarted(url);
        else
            m_dropLoad = true;
    }
    return allowed;
}

gboolean WebKitEngineView::OnFrameCheck(gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    // A main frame's blocked load fails within moments of its start; one
    // that has not even started by now belongs to a frame inside the page.
    const gint64 settled = g_get_monotonic_time() - 1000 * 1000;
    std::vector<std::string> frames;
    bool waiting = false;
    for (const Deferred& d : self->m_deferred) {
        if (!self->m_backend.BlocksDocument(d.url))
            continue;
        if (d.since > settled || self->m_mainProvisional)
            waiting = true;
        else
            frames.push_back(d.url);
    }
    for (const std::string& url : frames)
        self->DecideDeferred(url, false);
    if (waiting)
        return G_SOURCE_CONTINUE;
    self->m_frameCheck = 0;
    return G_SOURCE_REMOVE;
}

void WebKitEngineView::DecideBlockedMainFrame(const std::string& failedUrl) {
    // The engine reports the address the load began with; a redirect's
    // target it stopped is the latest one asked for that the rules block.
    std::string url = failedUrl;
    if (!m_backend.BlocksDocument(url))
        for (auto it = m_deferred.rbegin(); it != m_deferred.rend(); ++it)
            if (it->redirect && m_backend.BlocksDocument(it->url)) {
                url = it->url;
                break;
            }
    wxLogMessage("WebKitEngineView: the engine kept %s out of the main frame", url.c_str());
    DecideDeferred(url, true);
}

void WebKitEngineView::OnRendererTerminated(WebKitWebView*,
                                            WebKitWebProcessTerminationReason reason,
                                            gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return;
    self->m_client->OnRendererGone(
        reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "memory limit"
        : reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API   ? "ended by the host"
                                                           : "crashed");
}

gboolean WebKitEngineView::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return FALSE;
    const gchar* name = gdk_keyval_name(gdk_keyval_to_lower(event->keyval));
    if (!name)
        return FALSE;
    EngineKey key;
    key.name = name;
    for (char& c : key.name)
        c = static_cast<char>(g_ascii_tolower(c));
    key.ctrl = event->state & GDK_CONTROL_MASK;
    key.alt = event->state & GDK_MOD1_MASK;
    key.shift = event->state & GDK_SHIFT_MASK;
    if (key.alt && !key.ctrl && !key.shift && (key.name == "left" || key.name == "right"))
        return FALSE; // the page's script tells (OnKeyMessage)
    return self->m_client->OnKey(key);
}

void WebKitEngineView::OnKeyMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                    gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!self->m_client || !jsc_value_is_string(value))
        return;
    gchar* text = jsc_value_to_string(value);
    EngineKey key;
    key.name = text;
    key.alt = true;
    g_free(text);
    if (key.name == "left" || key.name == "right")
        self->m_client->OnKey(key);
}

void WebKitEngineView::SetZoom(double factor) {
    webkit_web_view_set_zoom_level(m_view, factor);
}

void WebKitEngineView::Find(const std::string& text, bool backwards) {
    WebKitFindController* finder = webkit_web_view_get_find_controller(m_view);
    if (text.empty()) {
        webkit_find_controller_search_finish(finder);
        m_findText.clear();
        return;
    }
    if (text == m_findText) {
        if (backwards)
            webkit_find_controller_search_previous(finder);
        else
            webkit_find_controller_search_next(finder);
        return;
    }
    m_findText = text;
    guint32 options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (backwards)
        options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
    webkit_find_controller_search(finder, text.c_str(), options, G_MAXUINT);
}

void WebKitEngineView::OnFound(WebKitFindController*, guint count, gpointer data) {
    wxLogMessage("WebKitEngineView find '%s': %u found",
                 static_cast<WebKitEngineView*>(data)->m_findText.c_str(), count);
}

void WebKitEngineView::OnNotFound(WebKitFindController*, gpointer data) {
    wxLogMessage("WebKitEngineView find '%s': not found",
                 static_cast<WebKitEngineView*>(data)->m_findText.c_str());
}

gboolean WebKitEngineView::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*,
                                         WebKitHitTestResult*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_contextMenu == ContextMenuKind::None)
        return TRUE;
    if (self->m_contextMenu == ContextMenuKind::Engine)
        return FALSE;
    static const std::pair<WebKitContextMenuAction, const char*> kept[] = {
        {WEBKIT_CONTEXT_MENU_ACTION_GO_BACK, "back"},
        {WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD, "forward"},
        {WEBKIT_CONTEXT_MENU_ACTION_STOP, "stop"},
        {WEBKIT_CONTEXT_MENU_ACTION_RELOAD, "reload"},
        {WEBKIT_CONTEXT_MENU_ACTION_CUT, "cut"},
        {WEBKIT_CONTEXT_MENU_ACTION_COPY, "copy"},
        {WEBKIT_CONTEXT_MENU_ACTION_PASTE, "paste"},
        {WEBKIT_CONTEXT_MENU_ACTION_PASTE_AS_PLAIN_TEXT, "paste-as-plain-text"},
        {WEBKIT_CONTEXT_MENU_ACTION_DELETE, "delete"},
        {WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL, "select-all"},
        {WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD, "copy-link"},
        {WEBKIT_CONTEXT_MENU_ACTION_COPY_IMAGE_TO_CLIPBOARD, "copy-image"},
        {WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS, "spelling-guess"},
        {WEBKIT_CONTEXT_MENU_ACTION_NO_GUESSES_FOUND, "no-guesses"},
        {WEBKIT_CONTEXT_MENU_ACTION_IGNORE_SPELLING, "ignore-spelling"},
        {WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING, "learn-spelling"},
        {WEBKIT_CONTEXT_MENU_ACTION_INSERT_EMOJI, "insert-emoji"}};
    // Rebuilt rather than edited in place: one separator between kept groups.
    GList* items = g_list_copy(webkit_context_menu_get_items(menu));
    for (GList* it = items; it; it = it->next)
        g_object_ref(it->data);
    webkit_context_menu_remove_all(menu);
    std::string names;
    bool separatorDue = false;
    for (GList* it = items; it; it = it->next) {
        auto* item = static_cast<WebKitContextMenuItem*>(it->data);
        if (webkit_context_menu_item_is_separator(item)) {
            separatorDue = !names.empty();
            continue;
        }
        const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(item);
        const auto found = std::find_if(std::begin(kept), std::end(kept),
                                        [&](const auto& k) { return k.first == action; });
        if (found == std::end(kept) || webkit_context_menu_item_get_submenu(item))
            continue;
        if (separatorDue)
            webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
        separatorDue = false;
        webkit_context_menu_append(menu, item);
        names += names.empty() ? found->second : std::string(" ") + found->second;
    }
    g_list_free_full(items, g_object_unref);
    wxLogMessage("WebKitEngineView context menu: %s", names.empty() ? "(none)" : names.c_str());
    return webkit_context_menu_get_n_items(menu) == 0; // nothing left: no menu
}

void WebKitEngineView::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return;
    std::string url = Str(webkit_web_view_get_uri(view));
    if (url.empty()) // a new window's first load has no address of its own yet
        url = self->m_pendingUrl;
    switch (event) {
    case WEBKIT_LOAD_STARTED:
        self->m_mainProvisional = true;
        self->m_failed = false;
        self->m_dropLoad = false;
        if (self->IsDeferred(url)) {
            self->m_heldStart = url;
            break;
        }
        self->m_client->OnLoadStarted(url);
        break;
    case WEBKIT_LOAD_COMMITTED: {
        self->m_mainProvisional = false;
        self->m_documentShown = true;
        self->m_client->OnLocationChanged(url, true);
        GTlsCertificateFlags errors = static_cast<GTlsCertificateFlags>(0);
        GTlsCertificate* certificate = nullptr;
        self->m_client->OnSecurityChanged(
            webkit_web_view_get_tls_info(view, &certificate, &errors) && certificate &&
            errors == 0);
        break;
    }
    case WEBKIT_LOAD_FINISHED:
        self->m_mainProvisional = false;
        if (self->m_dropLoad || !self->m_heldStart.empty()) {
            // A load refused once its frame was known, or one that failed
            // before: the page that was there stays, as if nothing happened.
            self->m_dropLoad = false;
            self->m_heldStart.clear();
            break;
        }
        self->m_client->OnLoadFinished(url, self->m_failed);
        break;
    default:
        break;
    }
}

gboolean WebKitEngineView::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                        gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    // Not among the engine's named codes: a load its content rules stopped.
    constexpr int kBlockedByContentRules = 104;
    if (error && error->domain == WEBKIT_POLICY_ERROR && error->code == kBlockedByContentRules &&
        uri && self->m_client) {
        self->DecideBlockedMainFrame(uri);
        return TRUE; // nothing was requested, nothing to show: the page stays
    }
    self->m_failed = true;
    // No error page for a load the client never let be shown.
    if (self->m_dropLoad || !self->m_heldStart.empty())
        return TRUE;
    // A load the user or the page stopped, or one that became a download,
    // is no failure to explain.
    if (!error || !uri || error->domain == WEBKIT_POLICY_ERROR ||
        error->domain == WEBKIT_DOWNLOAD_ERROR ||
        (error->domain == WEBKIT_NETWORK_ERROR && error->code == WEBKIT_NETWORK_ERROR_CANCELLED))
        return FALSE;
    const std::string domain = g_quark_to_string(error->domain);
    const FailurePage::Kind kind = FailurePage::KindOf(domain, error->code, error->message);
    wxLogError("WebKitEngineView: the page %s failed to load: %s (%s %d)", uri, error->message,
               domain.c_str(), error->code);
    const std::string language = self->m_backend.InterfaceLanguage();
    const std::string html = FailurePage::Html(kind, uri, error->message, language);
    webkit_web_view_load_alternate_html(self->m_view, html.c_str(), uri, nullptr);
    return TRUE;
}

void WebKitEngineView::OnProgress(GObject* view, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->m_client->OnProgress(
            webkit_web_view_get_estimated_load_progress(WEBKIT_WEB_VIEW(view)));
}

void WebKitEngineView::OnTitle(GObject* view, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->m_client->OnTitleChanged(Str(webkit_web_view_get_title(WEBKIT_WEB_VIEW(view))));
}

void WebKitEngineView::OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint,
                                     gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->m_client->OnStatusText(webkit_hit_test_result_context_is_link(hit)
                                         ? Str(webkit_hit_test_result_get_link_uri(hit))
                                         : std::string());
}

GtkWidget* WebKitEngineView::OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return nullptr;
    auto* created =
        dynamic_cast<WebKitEngineView*>(self->m_client->OnCreateWindow(WindowFeatures{}));
    if (!created)
        return nullptr;
    // The engine takes a reference of its own to the view it is handed.
    g_object_ref(created->m_view);
    return GTK_WIDGET(created->m_view);
}

void WebKitEngineView::OnReadyToShow(WebKitWebView*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->m_client->OnReadyToShow(self->Features());
}

void WebKitEngineView::OnGeometry(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client && self->m_native && self->m_native->IsShownOnScreen())
        self->m_client->OnGeometryRequest(self->Features());
}

void WebKitEngineView::OnClose(WebKitWebView*, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->m_client->OnCloseRequested();
}

namespace {
// The kind of a request as the configuration names it; empty: one the host
// does not know, refused.
std::string PermissionKind(WebKitPermissionRequest* request) {
    if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
        return "notifications";
    if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request))
        return "geolocation";
    if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
        auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
        const bool audio = webkit_user_media_permission_is_for_audio_device(media);
        const bool video = webkit_user_media_permission_is_for_video_device(media);
        if (webkit_user_media_permission_is_for_display_device(media))
            return "screen";
        return video && audio ? "camera+microphone" : video ? "camera" : "microphone";
    }
    if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(request))
        return "clipboard";
    if (WEBKIT_IS_DEVICE_INFO_PERMISSION_REQUEST(request))
        return "deviceinfo";
    if (WEBKIT_IS_POINTER_LOCK_PERMISSION_REQUEST(request))
        return "pointerlock";
    if (WEBKIT_IS_MEDIA_KEY_SYSTEM_PERMISSION_REQUEST(request))
        return "mediakeys";
    if (WEBKIT_IS_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request))
        return "storageaccess";
    if (WEBKIT_IS_INSTALL_MISSING_MEDIA_PLUGINS_PERMISSION_REQUEST(request))
        return "mediaplugins";
    return std::string();
}
} // namespace

gboolean WebKitEngineView::OnPermissionRequest(WebKitWebView* view,
                                               WebKitPermissionRequest* request, gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    const std::string kind = PermissionKind(request);
    const char* uri = webkit_web_view_get_uri(view);
    const std::string origin = PermissionPolicy::OriginOf(uri ? uri : "");
    EngineBackend& backend = EngineBackend::Get();
    // Camera and microphone at once: both must be granted.
    std::vector<std::string> kinds;
    if (kind == "camera+microphone")
        kinds = {"camera", "microphone"};
    else
        kinds = {kind};
    bool allowed = !kind.empty();
    std::string why = kind.empty() ? "a kind the host does not know" : std::string();
    for (const std::string& one : kinds) {
        if (!allowed)
            break;
        PermissionPolicy::Decision decision = PermissionPolicy::Decide(
            one, origin, backend.Permissions(), backend.PermissionAnswers());
        if (decision.verdict == PermissionPolicy::Verdict::Ask) {
            // The application by its name; before the host knows it, by its page's title.
            std::string name = backend.Permissions().applicationName;
            const char* title = webkit_web_view_get_title(view);
            if (name.empty() && title)
                name = title;
            const bool yes =
                self->m_client &&
                self->m_client->OnAskPermission(
                    name, PermissionPolicy::Question(one, name, backend.InterfaceLanguage()),
                    PermissionPolicy::AllowLabel(backend.InterfaceLanguage()),
                    PermissionPolicy::DenyLabel(backend.InterfaceLanguage()));
            backend.KeepPermissionAnswer(origin, one, yes);
            decision.verdict =
                yes ? PermissionPolicy::Verdict::Allow : PermissionPolicy::Verdict::Deny;
            decision.why = yes ? "the user allowed it" : "the user refused it";
        }
        allowed = decision.verdict == PermissionPolicy::Verdict::Allow;
        why = decision.why;
    }
    if (allowed) {
        wxLogMessage("WebKitEngineView: permission %s for %s granted: %s", kind.c_str(),
                     origin.c_str(), why.c_str());
        webkit_permission_request_allow(request);
    } else {
        wxLogMessage("WebKitEngineView: permission %s for %s refused: %s",
                     kind.empty() ? G_OBJECT_TYPE_NAME(request) : kind.c_str(),
                     origin.empty() ? "(no origin)" : origin.c_str(), why.c_str());
        webkit_permission_request_deny(request);
    }
    return TRUE;
}

gboolean WebKitEngineView::OnShowNotification(WebKitWebView* view, WebKitNotification* notification,
                                              gpointer) {
    const PermissionSettings& settings = EngineBackend::Get().Permissions();
    std::string name = settings.applicationName;
    const char* title = webkit_web_view_get_title(view);
    if (name.empty() && title)
        name = title;
    return WebKitNotifier::Get().Show(notification, GTK_WIDGET(view), name,
                                      settings.applicationIcon)
               ? TRUE
               : FALSE;
}

gboolean WebKitEngineView::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog,
                                          gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return FALSE;
    ScriptDialogType type = ScriptDialogType::Alert;
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
        type = ScriptDialogType::Confirm;
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        type = ScriptDialogType::Prompt;
        break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        type = ScriptDialogType::BeforeUnload;
        break;
    default:
        break;
    }
    const std::string message = Str(webkit_script_dialog_get_message(dialog));
    const std::string defaultText = type == ScriptDialogType::Prompt
                                        ? Str(webkit_script_dialog_prompt_get_default_text(dialog))
                                        : "";
    bool confirmed = false;
    std::string text;
    webkit_script_dialog_ref(dialog);
    const bool handled =
        self->m_client->OnScriptDialog(type, message, defaultText, &confirmed, &text);
    if (handled) {
        if (type == ScriptDialogType::Confirm || type == ScriptDialogType::BeforeUnload)
            webkit_script_dialog_confirm_set_confirmed(dialog, confirmed);
        else if (type == ScriptDialogType::Prompt && confirmed)
            webkit_script_dialog_prompt_set_text(dialog, text.c_str());
    }
    webkit_script_dialog_unref(dialog);
    return handled;
}

gboolean WebKitEngineView::OnAuthenticate(WebKitWebView*, WebKitAuthenticationRequest* request,
                                          gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (!self->m_client)
        return FALSE;
    std::string user, password;
    bool ok = false;
    g_object_ref(request);
    const bool handled = self->m_client->OnAuthenticate(
        Str(webkit_authentication_request_get_host(request)),
        Str(webkit_authentication_request_get_realm(request)), &user, &password, &ok);
    if (handled) {
        if (ok) {
            WebKitCredential* credential = webkit_credential_new(
                user.c_str(), password.c_str(), WEBKIT_CREDENTIAL_PERSISTENCE_FOR_SESSION);
            webkit_authentication_request_authenticate(request, credential);
            webkit_credential_free(credential);
        } else {
            webkit_authentication_request_cancel(request);
        }
    }
    g_object_unref(request);
    return handled;
}

void WebKitEngineView::OnDragMessage(WebKitUserContentManager*, WebKitJavascriptResult*,
                                     gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client)
        self->SetDragsRefused(!self->m_client->OnDragStart());
}

void WebKitEngineView::SetDragsRefused(bool refused) {
    if (refused == m_dragsRefused)
        return;
    m_dragsRefused = refused;
    const std::string flag =
        std::string("window.__veltaRefuseDrags = ") + (refused ? "true" : "false") + ";";
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_view);
    if (m_dragFlag) {
        webkit_user_content_manager_remove_script(content, m_dragFlag);
        webkit_user_script_unref(m_dragFlag);
    }
    m_dragFlag =
        webkit_user_script_new(flag.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, m_dragFlag);
    // Only a page already shown needs telling: a script run with no page at
    // all would start the script engine's timers for nothing.
    if (m_documentShown)
        RunScript(flag);
}

gboolean WebKitEngineView::OnDragDrop(GtkWidget*, GdkDragContext* context, gint, gint, guint time,
                                      gpointer data) {
    auto* self = static_cast<WebKitEngineView*>(data);
    if (self->m_client && !self->m_client->OnDrop()) {
        gtk_drag_finish(context, FALSE, FALSE, time);
        return TRUE;
    }
    return FALSE;
}
