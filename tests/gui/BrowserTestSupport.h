#pragma once

#include "browserlib/MozillaFacade.h"
#include "browserlib/api/IHtmlControlNavigationListener.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/runtime/engine/headless/HeadlessBackend.h"
#include "config/VELTAAppConfig.h"

#include <string>
#include <vector>
#include <wx/frame.h>

// A host that records what the library tells it and vetoes chosen addresses.
class RecordingHost : public IMozillaHost, public IHtmlControlNavigationListener {
public:
    RecordingHost() { m_NavigationListener = this; }
    bool OnInit() override {
        ++inits;
        return true;
    }
    bool OnExit() override {
        ++exits;
        return true;
    }
    bool FilterUrl(const wxString& url) override {
        filtered.push_back(url);
        for (const wxString& v : vetoes)
            if (url.Contains(v))
                return true;
        return false;
    }
    void OnBeforeNavigate(const wxString& url) override { before.push_back(url); }
    void Reserved(const wxString&) override {}
    void OnDocumentComplete(const wxString& url) override { completed.push_back(url); }

    int inits = 0, exits = 0;
    std::vector<wxString> filtered, before, completed, vetoes;
};

// The library started with the headless engine, a hidden main frame as the
// application's top window, and a configuration; stopped again at the end.
class LibraryFixture {
public:
    LibraryFixture();
    ~LibraryFixture();

    // The hosted browser frame for `host`, with `configXml` as configuration keys.
    CBrowserFrame* CreateHosted(const std::string& configXml = "");
    HeadlessBackend& Engine() { return *HeadlessBackend::Instance(); }
    // Lets the event loop (and so the engine's queue) run until `done` or timeout.
    static bool Pump(const std::function<bool()>& done, int timeoutMs = 3000);
    static void PumpFor(int ms);

    RecordingHost host; // outlives every frame the library makes
    VELTAAppConfig config;
    wxFrame* main = nullptr;
    std::string configDir;
};
