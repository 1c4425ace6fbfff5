#pragma once

#include "browserlib/api/DocumentRule.h"
#include "browserlib/api/PermissionSettings.h"

#include <functional>
#include <list>
#include <vector>
#include <wx/gdicmn.h>
#include <wx/string.h>

class HostConfig;
class IMozillaHost;
class wxApp;
class wxFrame;
class wxObject;
class wxWindow;

// The frames the library has made, in creation order. Entries are window objects.
using BrowserFrameList = std::list<wxObject*>;

// The browser control the host embeds: one browser window, driven through this
// interface; the static operations start and stop the library and make browsers.
class wxHtmlCtrl {
public:
    virtual wxString GetName() = 0;
    virtual bool LoadURL(const wxString& url) = 0;
    virtual bool SetHTML(const wxString& html, const wxString* fileName) = 0;
    virtual wxString GetDocumentContent() = 0;
    virtual wxString GetNavigationContent() = 0;
    virtual void Print() = 0;
    virtual void PrintPreview(bool on) = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual void setSize(const wxSize& size) = 0;
    virtual void SetHostConfig(HostConfig* config) = 0;
    virtual wxFrame* GetFrame() = 0;
    // Asks the page whether it may go (its unsaved work): `done` hears true
    // when it may, false when the user chose to stay.
    virtual void AskPageToClose(std::function<void(bool mayClose)> done) { done(true); }
    // The user closed it: it is on its way out (its shutdown command sent).
    virtual bool IsClosing() const { return false; }
    // The page's zoom, in percent (the zoom keys change it too).
    virtual int GetZoomPercent() const { return 100; }
    virtual void SetZoomPercent(int) {}

    static bool OnInit();
    static bool OnExit();
    static wxHtmlCtrl* createHostedBrowser(wxApp* app, wxWindow* parent, const wxString& name,
                                           HostConfig* config, IMozillaHost* host);
    static wxHtmlCtrl* createEmbeddedBrowser(wxApp* app, wxWindow* parent, const wxString& name,
                                             HostConfig* config, IMozillaHost* host);
    static const BrowserFrameList& GetFrameList();
    // The application closes: every window's page (pop-ups first) is asked in
    // turn; `done` hears true when all may go, false when one keeps its work.
    static void AskEveryPageToClose(std::function<void(bool mayClose)> done);
    // Links of `scheme` (one the engine cannot show) reach the listener a second
    // time once it is known which frame they are for.
    static void RouteScheme(const wxString& scheme);
    // The host is closing: page dialogs end as cancelled, later ones are not shown.
    static void EndPageDialogs();
    // Starts the engine ahead of the first browser, so its page comes sooner.
    static void Prewarm();
    // A cookie that every request of the browsers to `host` carries, for this
    // run only: never on disk, not for scripts, not for other sites' requests.
    static void AddSessionCookie(const wxString& host, const wxString& name, const wxString& value);
    // The documents the engine may request at all (see DocumentRule): what
    // they block never leaves the engine, and a blocked page of the main
    // frame is asked of the navigation listener again, with its frame known.
    static void KeepDocumentsTo(const std::vector<DocumentRule>& rules);
    // The language of the engine's own pages (a page that failed to load).
    static void SetInterfaceLanguage(const wxString& language);
    // What pages of the application may be granted, and the name its questions use.
    static void SetPermissions(const PermissionSettings& settings);
    // Before OnInit: the folder of this application's browser profiles
    // (cookies, storage, cache); empty: the library's shared place.
    static void SetProfileRoot(const wxString& directory);
    static wxString GetVersion() { return wxS("1.1.9"); }

protected:
    ~wxHtmlCtrl() = default;
};
