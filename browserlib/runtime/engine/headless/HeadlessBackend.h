#pragma once

#include "browserlib/runtime/engine/EngineBackend.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// What a page of the headless engine does when it is loaded. Pages not
// described load as plain, untitled HTML.
struct HeadlessPage {
    HeadlessPage() = default;
    explicit HeadlessPage(std::string pageTitle) : title(std::move(pageTitle)) {}

    std::string title;
    std::string mimeType = "text/html";
    bool attachment = false;
    std::string fileName = "download.bin";
    std::string source = "<html><body></body></html>";
    std::vector<std::string> subframes; // navigations of sub-frames during the load
    std::string opensWindow;            // a window this page opens once loaded
    WindowFeatures openFeatures;
    bool closesSelf = false;
    bool asksBeforeUnload = false; // has unsaved work: asks before it goes
    bool requestsGeometry = false;
    WindowFeatures geometry;
};

class HeadlessEngineView;

// The in-process engine that renders nothing: views make the same callbacks, in
// the same order, as the real engine's, from the runtime's event queue.
class HeadlessBackend : public EngineBackend {
public:
    struct DownloadRecord {
        std::string url, suggested, savedTo;
        bool cancelled = false;
    };

    std::string Name() const override { return "headless"; }
    std::unique_ptr<EngineView> CreateView(EngineViewClient* client,
                                           EngineView* relatedTo) override;
    bool CanShowMimeType(const std::string& mimeType) override;
    void UseProfileDirectory(const std::string& directory) override {
        m_profileDirectory = directory;
    }
    void SetFontSizes(int variable, int fixed) override {
        m_fontVariable = variable;
        m_fontFixed = fixed;
    }
    void RouteScheme(const std::string& scheme) override { m_routed.push_back(scheme); }
    struct Cookie {
        std::string host, name, value;
    };
    void AddSessionCookie(const std::string& host, const std::string& name,
                          const std::string& value) override {
        m_cookies.push_back({host, name, value});
    }
    const std::vector<Cookie>& Cookies() const { return m_cookies; }
    // Its views know every frame at once; the rules are kept for tests to read.
    void SetDocumentRules(const std::vector<DocumentRule>& rules) override { m_rules = rules; }
    const std::vector<DocumentRule>& DocumentRulesSet() const { return m_rules; }

    static HeadlessBackend* Instance(); // null when another engine runs
    static void SetPage(const std::string& url, const HeadlessPage& page);
    static void ClearPages();
    const HeadlessPage* Page(const std::string& url) const;

    const std::vector<HeadlessEngineView*>& Views() const { return m_views; }
    std::vector<DownloadRecord>& Downloads() { return m_downloads; }
    const std::string& ProfileDirectory() const { return m_profileDirectory; }
    int FontVariable() const { return m_fontVariable; }
    int FontFixed() const { return m_fontFixed; }

    const std::vector<std::string>& RoutedSchemes() const { return m_routed; }
    // Whether navigations count as the user's (a click, a key), as set by a test.
    void SetUserGesture(bool byUser) { m_userGesture = byUser; }
    bool NextNavigationByUser() const { return m_userGesture; }

    void Register(HeadlessEngineView* view) { m_views.push_back(view); }
    void Unregister(HeadlessEngineView* view);

private:
    std::map<std::string, HeadlessPage> m_pages;
    std::vector<HeadlessEngineView*> m_views;
    std::vector<DownloadRecord> m_downloads;
    std::string m_profileDirectory;
    int m_fontVariable = 0, m_fontFixed = 0;
    std::vector<std::string> m_routed;
    std::vector<Cookie> m_cookies;
    std::vector<DocumentRule> m_rules;
    bool m_userGesture = false;
};
