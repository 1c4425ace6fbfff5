#include "browserlib/runtime/engine/webkit/WebKitBackend.h"

#include "browserlib/runtime/engine/DocumentRules.h"
#include "browserlib/runtime/engine/HtmlText.h"
#include "browserlib/runtime/engine/PermissionPolicy.h"
#include "browserlib/runtime/engine/PreferredLanguages.h"
#include "browserlib/runtime/engine/ProxyPlan.h"
#include "browserlib/runtime/engine/webkit/ContentRuleList.h"
#include "browserlib/runtime/engine/webkit/WebKitColorScheme.h"

#include "browserlib/runtime/engine/webkit/WebKitEngineView.h"

#include <functional>
#include <sys/stat.h>
#include <wx/log.h>

namespace {
// A download while the client decides where it goes.
class WebKitDownloadAdapter : public EngineDownload {
public:
    WebKitDownloadAdapter(WebKitDownload* download, std::string suggested)
        : m_download(download), m_suggested(std::move(suggested)) {}
    std::string SuggestedFileName() const override { return m_suggested; }
    std::string SourceUrl() const override {
        WebKitURIRequest* request = webkit_download_get_request(m_download);
        const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
        return uri ? uri : "";
    }
    void SaveTo(const std::string& path) override {
        gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
        if (!uri) {
            Cancel();
            return;
        }
        webkit_download_set_allow_overwrite(m_download, TRUE);
        webkit_download_set_destination(m_download, uri);
        g_free(uri);
        saved = true;
    }
    void Cancel() override {
        if (!saved)
            webkit_download_cancel(m_download);
    }
    bool saved = false;

private:
    WebKitDownload* m_download;
    std::string m_suggested;
};
} // namespace

std::unique_ptr<EngineBackend> CreateWebKitBackend() {
    return std::make_unique<WebKitBackend>();
}

WebKitBackend::WebKitBackend() {
    m_settings = webkit_settings_new();
    g_object_ref_sink(m_settings);
    webkit_settings_set_javascript_can_open_windows_automatically(m_settings, TRUE);
    webkit_settings_set_enable_developer_extras(m_settings, FALSE);
    WebKitColorScheme::Follow();
}

WebKitBackend::~WebKitBackend() = default; // the engine's objects live as long as the process

std::string WebKitBackend::Name() const {
    return "WebKitGTK " + std::to_string(webkit_get_major_version()) + "." +
           std::to_string(webkit_get_minor_version()) + "." +
           std::to_string(webkit_get_micro_version());
}

WebKitWebContext* WebKitBackend::Context() {
    auto it = m_contexts.find(m_profileDirectory);
    if (it != m_contexts.end())
        return it->second;
    WebKitWebContext* context = nullptr;
    if (m_profileDirectory.empty()) {
        context = webkit_web_context_new_ephemeral();
    } else {
        const std::string data = m_profileDirectory + "/webkit/data";
        const std::string cache = m_profileDirectory + "/webkit/cache";
        WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
            "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
        context = webkit_web_context_new_with_website_data_manager(manager);
        g_object_unref(manager);
        WebKitCookieManager* cookies = webkit_web_context_get_cookie_manager(context);
        const std::string cookieFile = m_profileDirectory + "/webkit/cookies.sqlite";
        mkdir((m_profileDirectory + "/webkit").c_str(), 0700);
        webkit_cookie_manager_set_persistent_storage(cookies, cookieFile.c_str(),
                                                     WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    }
    g_signal_connect(context, "download-started", G_CALLBACK(OnDownloadStarted), this);
    webkit_web_context_register_uri_scheme(context, "view-source", OnViewSource, this, nullptr);
    webkit_security_manager_register_uri_scheme_as_local(
        webkit_web_context_get_security_manager(context), "view-source");
    for (const std::string& scheme : m_routed)
        RegisterRouted(context, scheme);
    KeepLoopbackOffProxies(context);
    ApplyLanguages(context);
    g_signal_connect(context, "initialize-notification-permissions",
                     G_CALLBACK(OnInitializeNotificationPermissions), this);
    for (const Cookie& cookie : m_cookies)
        AddCookieTo(context, cookie);
    m_contexts[m_profileDirectory] = context;
    return context;
}

void WebKitBackend::SetInterfaceLanguage(const std::string& language) {
    EngineBackend::SetInterfaceLanguage(language);
    for (auto& entry : m_contexts)
        ApplyLanguages(entry.second);
}

void WebKitBackend::SetPermissions(const PermissionSettings& settings) {
    EngineBackend::SetPermissions(settings);
    for (auto& entry : m_contexts)
        ApplyNotificationPermissions(entry.second);
}

std::string WebKitBackend::PermissionFile() const {
    return m_profileDirectory.empty() ? std::string() : m_profileDirectory + "/webkit/permissions";
}

void WebKitBackend::OnInitializeNotificationPermissions(WebKitWebContext* context, gpointer data) {
    static_cast<WebKitBackend*>(data)->ApplyNotificationPermissions(context);
}

void WebKitBackend::ApplyNotificationPermissions(WebKitWebContext* context) {
    const PermissionSettings& settings = Permissions();
    if (settings.applicationOrigin.empty())
        return;
    // The application's answer as the engine's policy: pages see "granted" or
    // "denied" at once; nothing known leaves "default", and a page asks.
    const PermissionPolicy::Decision decision = PermissionPolicy::Decide(
        "notifications", settings.applicationOrigin, settings, PermissionAnswers());
    if (decision.verdict == PermissionPolicy::Verdict::Ask)
        return;
    WebKitSecurityOrigin* origin =
        webkit_security_origin_new_for_uri(settings.applicationOrigin.c_str());
    GList* list = g_list_append(nullptr, origin);
    const bool allowed = decision.verdict == PermissionPolicy::Verdict::Allow;
    webkit_web_context_initialize_notification_permissions(context, allowed ? list : nullptr,
                                                           allowed ? nullptr : list);
    g_list_free(list);
    webkit_security_origin_unref(origin);
}

void WebKitBackend::ApplyLanguages(WebKitWebContext* context) {
    std::vector<std::string> locale;
    for (const gchar* const* name = g_get_language_names(); name && *name; ++name)
        locale.push_back(*name);
    const std::vector<std::string> tags = PreferredLanguages::For(InterfaceLanguage(), locale);
    if (tags.empty())
        return; // the engine's own choice stands
    std::vector<const gchar*> list;
    for (const std::string& tag : tags)
        list.push_back(tag.c_str());
    list.push_back(nullptr);
    webkit_web_context_set_preferred_languages(context, list.data());
}

void WebKitBackend::KeepLoopbackOffProxies(WebKitWebContext* context) {
    const ProxyPlan plan = ProxyPlan::FromEnvironment([](const char* name) {
        const char* value = g_getenv(name);
        return std::string(value ? value : "");
    });
    if (!plan.custom)
        return; // the desktop's settings, which leave loopback alone by default
    std::vector<const gchar*> ignore;
    for (const std::string& host : plan.ignoreHosts)
        ignore.push_back(host.c_str());
    ignore.push_back(nullptr);
    WebKitNetworkProxySettings* settings = webkit_network_proxy_settings_new(
        plan.defaultProxy.empty() ? nullptr : plan.defaultProxy.c_str(), ignore.data());
    if (!plan.httpProxy.empty())
        webkit_network_proxy_settings_add_proxy_for_scheme(settings, "http",
                                                           plan.httpProxy.c_str());
    if (!plan.httpsProxy.empty())
        webkit_network_proxy_settings_add_proxy_for_scheme(settings, "https",
                                                           plan.httpsProxy.c_str());
    webkit_website_data_manager_set_network_proxy_settings(
        webkit_web_context_get_website_data_manager(context), WEBKIT_NETWORK_PROXY_MODE_CUSTOM,
        settings);
    webkit_network_proxy_settings_free(settings);
}

void WebKitBackend::AddSessionCookie(const std::string& host, const std::string& name,
                                     const std::string& value) {
    m_cookies.push_back({host, name, value});
    for (const auto& entry : m_contexts)
        AddCookieTo(entry.second, m_cookies.back());
}

void WebKitBackend::AddCookieTo(WebKitWebContext* context, const Cookie& cookie) {
    // No expiry: a session cookie, which the cookie store keeps in memory only.
    SoupCookie* soup =
        soup_cookie_new(cookie.name.c_str(), cookie.value.c_str(), cookie.host.c_str(), "/", -1);
    soup_cookie_set_http_only(soup, TRUE);
    soup_cookie_set_same_site_policy(soup, SOUP_SAME_SITE_POLICY_STRICT);
    webkit_cookie_manager_add_cookie(webkit_web_context_get_cookie_manager(context), soup, nullptr,
                                     nullptr, nullptr);
    soup_cookie_free(soup);
}

void WebKitBackend::SetDocumentRules(const std::vector<DocumentRule>& rules) {
    if (rules == m_rules && (m_filter || m_rulesPending))
        return;
    m_rules = rules;
    const unsigned generation = ++m_rulesGeneration;
    UseFilter(nullptr);
    if (rules.empty())
        return;
    if (!m_filterStore) {
        // Compiled anew at every start; kept beside the website data.
        const std::string base = m_profileDirectory.empty()
                                     ? std::string(g_get_user_cache_dir()) + "/velta-host"
                                     : m_profileDirectory + "/webkit";
        const std::string directory = base + "/content-rules";
        g_mkdir_with_parents(directory.c_str(), 0700);
        m_filterStore = webkit_user_content_filter_store_new(directory.c_str());
    }
    m_rulesPending = true;
    const std::string json = ContentRuleList::Json(rules);
    GBytes* source = g_bytes_new(json.data(), json.size());
    auto* ticket = new std::pair<WebKitBackend*, unsigned>(this, generation);
    webkit_user_content_filter_store_save(m_filterStore, "velta-documents", source, nullptr,
                                          OnRulesSaved, ticket);
    g_bytes_unref(source);
}

void WebKitBackend::OnRulesSaved(GObject* store, GAsyncResult* result, gpointer data) {
    std::unique_ptr<std::pair<WebKitBackend*, unsigned>> ticket(
        static_cast<std::pair<WebKitBackend*, unsigned>*>(data));
    GError* error = nullptr;
    WebKitUserContentFilter* filter = webkit_user_content_filter_store_save_finish(
        WEBKIT_USER_CONTENT_FILTER_STORE(store), result, &error);
    WebKitBackend* self = ticket->first;
    if (ticket->second != self->m_rulesGeneration) { // rules replaced meanwhile
        if (filter)
            webkit_user_content_filter_unref(filter);
        if (error)
            g_error_free(error);
        return;
    }
    if (!filter) {
        wxLogWarning("WebKitBackend: the engine refused the document rules (%s); pages are "
                     "decided once they answer",
                     error ? error->message : "no reason given");
        if (error)
            g_error_free(error);
    }
    self->UseFilter(filter);
    if (filter)
        webkit_user_content_filter_unref(filter);
}

void WebKitBackend::UseFilter(WebKitUserContentFilter* filter) {
    std::vector<WebKitWebView*> views;
    for (WebKitEngineView* view : m_views)
        views.push_back(view->Widget());
    if (m_spare)
        views.push_back(m_spare);
    for (WebKitWebView* view : views) {
        WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view);
        if (m_filter)
            webkit_user_content_manager_remove_filter(content, m_filter);
        if (filter)
            webkit_user_content_manager_add_filter(content, filter);
    }
    if (m_filter)
        webkit_user_content_filter_unref(m_filter);
    m_filter = filter ? webkit_user_content_filter_ref(filter) : nullptr;
    if (filter)
        wxLogMessage("WebKitBackend: %zu document rules in force", m_rules.size());
    const bool released = m_rulesPending;
    m_rulesPending = false;
    if (released)
        // After the store's callback has returned, as any other load.
        g_idle_add(
            [](gpointer data) -> gboolean {
                auto* self = static_cast<WebKitBackend*>(data);
                for (WebKitEngineView* view :
                     std::vector<WebKitEngineView*>(self->m_views.begin(), self->m_views.end()))
                    view->LoadWaiting();
                return G_SOURCE_REMOVE;
            },
            this);
}

bool WebKitBackend::BlocksDocument(const std::string& url) const {
    return m_filter && DocumentRules::Blocks(m_rules, url);
}

void WebKitBackend::RouteScheme(const std::string& scheme) {
    if (scheme.empty() || !m_routed.insert(scheme).second)
        return;
    for (const auto& [directory, context] : m_contexts)
        RegisterRouted(context, scheme);
}

void WebKitBackend::RegisterRouted(WebKitWebContext* context, const std::string& scheme) {
    // The engine refuses to take over its own schemes; those are decided as they are.
    static const char* const own[] = {"http", "https",      "file",        "about", "data",
                                      "blob", "javascript", "view-source", "ws",    "wss"};
    for (const char* name : own)
        if (scheme == name)
            return;
    webkit_web_context_register_uri_scheme(context, scheme.c_str(), OnRoutedScheme, this, nullptr);
}

void WebKitBackend::OnRoutedScheme(WebKitURISchemeRequest* request, gpointer) {
    // An empty answer: its response is where the frame becomes known, and it
    // is never shown (see WebKitEngineView::OnDecidePolicy).
    GInputStream* empty = g_memory_input_stream_new();
    webkit_uri_scheme_request_finish(request, empty, 0, "text/plain");
    g_object_unref(empty);
}

std::unique_ptr<EngineView> WebKitBackend::CreateView(EngineViewClient* client,
                                                      EngineView* relatedTo) {
    if (auto* opener = dynamic_cast<WebKitEngineView*>(relatedTo))
        return std::make_unique<WebKitEngineView>(*this, client, opener->Widget());
    WebKitWebView* spare = m_spare;
    m_spare = nullptr;
    if (spare && webkit_web_view_get_context(spare) != Context()) {
        g_object_unref(spare); // made for a profile no longer in use
        spare = nullptr;
    }
    auto view = std::make_unique<WebKitEngineView>(*this, client, spare);
    if (spare)
        g_object_unref(spare); // its process now belongs to the new view
    return view;
}

void WebKitBackend::Prewarm() {
    if (m_spare)
        return;
    // The web process starts with the spare view's first load, the network
    // process with the first question for it; both take a good part of a
    // second that the first page would otherwise wait for.
    m_spare = NewWebView(nullptr);
    webkit_web_view_load_uri(m_spare, "about:blank");
    webkit_web_context_prefetch_dns(Context(), "localhost");
}

WebKitWebView* WebKitBackend::NewWebView(WebKitWebView* related) {
    WebKitUserContentManager* own = webkit_user_content_manager_new();
    GObject* view =
        related ? G_OBJECT(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related, "settings",
                                        m_settings, "user-content-manager", own, nullptr))
                : G_OBJECT(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", Context(), "settings",
                                        m_settings, "user-content-manager", own, nullptr));
    if (m_filter)
        webkit_user_content_manager_add_filter(own, m_filter);
    g_object_unref(own);
    g_object_ref_sink(view);
    return WEBKIT_WEB_VIEW(view);
}

bool WebKitBackend::CanShowMimeType(const std::string& mimeType) {
    // Answered in this process; any view of ours will do, none needs its own.
    WebKitWebView* probe = m_spare;
    if (!probe && !m_views.empty())
        probe = (*m_views.begin())->Widget();
    if (!probe) {
        if (!m_probe) {
            m_probe = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(Context()));
            g_object_ref_sink(m_probe);
        }
        probe = m_probe;
    }
    return webkit_web_view_can_show_mime_type(probe, mimeType.c_str());
}

void WebKitBackend::UseProfileDirectory(const std::string& directory) {
    m_profileDirectory = directory;
}

void WebKitBackend::SetFontSizes(int variable, int fixed) {
    // The preferences count in points as the engine's CSS pixels at 96 dpi.
    webkit_settings_set_default_font_size(m_settings, static_cast<guint32>(variable));
    webkit_settings_set_default_monospace_font_size(m_settings, static_cast<guint32>(fixed));
}

void WebKitBackend::OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer self) {
    g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), self);
}

gboolean WebKitBackend::OnDecideDestination(WebKitDownload* download, gchar* suggested, gpointer) {
    WebKitEngineView* view = WebKitEngineView::FromWidget(webkit_download_get_web_view(download));
    WebKitDownloadAdapter adapter(download, suggested ? suggested : "download");
    if (!view || !view->Client()) {
        webkit_download_cancel(download);
        return TRUE;
    }
    view->Client()->OnDownload(adapter);
    return TRUE;
}

void WebKitBackend::OnViewSource(WebKitURISchemeRequest* request, gpointer self) {
    auto* backend = static_cast<WebKitBackend*>(self);
    const std::string target = std::string(webkit_uri_scheme_request_get_uri(request)).substr(12);
    WebKitEngineView* source = nullptr;
    for (WebKitEngineView* view : backend->m_views)
        if (view->Url() == target)
            source = view;
    g_object_ref(request);
    auto finish = [request, target](const std::string& text, bool found) {
        std::string html =
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
            HtmlText::Escape(target) +
            "</title></head><body><pre style=\"white-space: pre-wrap\">" +
            (found ? HtmlText::Escape(text) : "The source of this page is not available.") +
            "</pre></body></html>";
        gsize size = html.size();
        GInputStream* stream = g_memory_input_stream_new_from_data(
            g_strndup(html.data(), size), static_cast<gssize>(size), g_free);
        webkit_uri_scheme_request_finish(request, stream, static_cast<gint64>(size), "text/html");
        g_object_unref(stream);
        g_object_unref(request);
    };
    if (!source) {
        finish("", false);
        return;
    }
    source->GetSource([finish](const std::string& text) { finish(text, true); });
}
