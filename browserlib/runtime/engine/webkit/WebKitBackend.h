#pragma once

#include "browserlib/runtime/engine/EngineBackend.h"

#include <map>
#include <set>
#include <string>
#include <vector>
#include <webkit2/webkit2.h>

class WebKitEngineView;

// WebKitGTK: one web context per profile (its website data lives in the
// profile), shared settings, downloads and the view-source scheme.
class WebKitBackend : public EngineBackend {
public:
    WebKitBackend();
    ~WebKitBackend() override;

    std::string Name() const override;
    std::unique_ptr<EngineView> CreateView(EngineViewClient* client,
                                           EngineView* relatedTo) override;
    bool CanShowMimeType(const std::string& mimeType) override;
    void UseProfileDirectory(const std::string& directory) override;
    void SetFontSizes(int variable, int fixed) override;
    void RouteScheme(const std::string& scheme) override;
    void Prewarm() override;
    void AddSessionCookie(const std::string& host, const std::string& name,
                          const std::string& value) override;
    void SetDocumentRules(const std::vector<DocumentRule>& rules) override;
    void SetInterfaceLanguage(const std::string& language) override;
    void SetPermissions(const PermissionSettings& settings) override;

    bool IsRouted(const std::string& scheme) const { return m_routed.count(scheme) > 0; }
    // Whether the engine itself keeps `url` out of every frame.
    bool BlocksDocument(const std::string& url) const;
    // While the rules are compiled, no view loads anything.
    bool DocumentRulesPending() const { return m_rulesPending; }

    WebKitWebContext* Context();
    // A view of the current profile with scripts of its own (a pop-up's drag
    // answer is not its opener's), in `related`'s web process when given; owned.
    WebKitWebView* NewWebView(WebKitWebView* related);
    void Register(WebKitEngineView* view) { m_views.insert(view); }
    void Unregister(WebKitEngineView* view) { m_views.erase(view); }

protected:
    std::string PermissionFile() const override;

private:
    void ApplyLanguages(WebKitWebContext* context);
    // What the engine tells pages of Notification.permission before they ask.
    void ApplyNotificationPermissions(WebKitWebContext* context);
    static void OnInitializeNotificationPermissions(WebKitWebContext* context, gpointer data);
    static void OnDownloadStarted(WebKitWebContext*, WebKitDownload*, gpointer);
    static gboolean OnDecideDestination(WebKitDownload*, gchar*, gpointer);
    static void OnViewSource(WebKitURISchemeRequest*, gpointer);
    static void OnRoutedScheme(WebKitURISchemeRequest*, gpointer);
    void RegisterRouted(WebKitWebContext* context, const std::string& scheme);
    struct Cookie {
        std::string host, name, value;
    };
    static void AddCookieTo(WebKitWebContext* context, const Cookie& cookie);
    static void KeepLoopbackOffProxies(WebKitWebContext* context);
    static void OnRulesSaved(GObject* store, GAsyncResult* result, gpointer data);
    void UseFilter(WebKitUserContentFilter* filter);
    std::vector<DocumentRule> m_rules;
    bool m_rulesPending = false;
    unsigned m_rulesGeneration = 0;
    WebKitUserContentFilterStore* m_filterStore = nullptr;
    WebKitUserContentFilter* m_filter = nullptr;
    std::vector<Cookie> m_cookies;

    std::string m_profileDirectory;
    std::map<std::string, WebKitWebContext*> m_contexts;
    WebKitSettings* m_settings = nullptr;
    WebKitWebView* m_probe = nullptr;
    // A view no one sees, whose web process the first view takes over.
    WebKitWebView* m_spare = nullptr;
    std::set<WebKitEngineView*> m_views;
    std::set<std::string> m_routed;
};
