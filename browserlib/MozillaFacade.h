#pragma once

#include "browserlib/api/BrowserFrameOptions.h"
#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsWeakReference.h"

#include <atomic>
#include <functional>
#include <memory>
#include <wx/string.h>
#include <wx/thread.h>

class CBrowserFrame;
class HostConfig;
class IMozillaHost;
class ProfileStartup;
class wxWindow;

// The library's central object: starts and stops the embedding runtime with
// the library's own components, keeps the registry of browser frames, makes
// the windows pages open, and watches profile changes.
class MozillaFacade : public nsIObserver, public nsIWindowCreator, public nsSupportsWeakReference {
public:
    // The facade, made and started on first use; null when it cannot start.
    static MozillaFacade* GetFacade();
    // The facade if one exists, never making one.
    static MozillaFacade* Existing();
    static void DeleteFacade();

    nsresult QueryInterface(const nsIID& iid, void** result) override;
    nsrefcnt AddRef() override { return ++m_refCount; }
    nsrefcnt Release() override;

    nsresult Observe(nsISupports* subject, const char* topic, const PRUnichar* data) override;
    nsresult CreateChromeWindow(nsIWebBrowserChrome* parent, PRUint32 chromeFlags,
                                nsIWebBrowserChrome** result) override;

    virtual CBrowserFrame* CreateEmbeddedBrowserFrame(wxWindow* parent, IMozillaHost* host,
                                                      BrowserFrameOptions& params);
    virtual CBrowserFrame* CreateHostedBrowserFrame(wxWindow* parent, IMozillaHost* host,
                                                    BrowserFrameOptions& params);
    virtual CBrowserFrame* CreateNewBrowserFrame(wxWindow* parent, IMozillaHost* host,
                                                 BrowserFrameOptions& params);

    bool OnInit();
    bool OnExit();
    nsresult OverrideComponents();
    nsresult InitializeWindowCreator();
    bool InitializeProfiles();
    nsresult InitializePrefs();

    void RemoveOneFrame(wxObject* frame, bool flag);
    // Every window's page, pop-ups first and the application's window last,
    // asked in turn whether it may go; `done` hears false when one keeps it.
    void AskEveryPageToClose(std::function<void(bool mayClose)> done);
    // The frame a page most likely opened a window from: the last one shown.
    wxFrame* LastShownFrame();
    wxFrame* FindWindowByHwnd(void* handle);
    bool GetTempDirectory(wxString& out);
    IMozillaHost* GetHost() const { return m_Host; }
    void SetHostConfig(HostConfig* config) { m_HostConfig = config; }
    HostConfig* GetHostConfig() const { return m_HostConfig; }
    const BrowserFrameList& Frames() const { return m_Frames; }
    wxMutex& Mutex() { return m_Mutex; }

    // Asks the user whether to close all windows for a profile switch; tests
    // answer it themselves.
    static bool (*s_confirmProfileSwitch)();

protected:
    MozillaFacade();
    ~MozillaFacade() override;

private:
    long StyleFor(const BrowserFrameOptions& params, bool hosted) const;

    std::atomic<nsrefcnt> m_refCount{1};
    BrowserFrameList m_Frames;
    wxMutex m_Mutex{wxMUTEX_RECURSIVE};
    std::unique_ptr<ProfileStartup> m_ProfileManager;
    wxString m_TempDirName = wxS("MozBrowserLibTemp");
    HostConfig* m_HostConfig = nullptr;
    IMozillaHost* m_Host = nullptr;
    int m_windowNumber = 0;
};
