#pragma once

struct NavigationRequest;

#include "browserlib/api/BrowserFrameOptions.h"
#include "browserlib/api/wxHtmlCtrl.h"
#include "browserlib/frame/BrowserFrameGlueObj.h"

#include <wx/frame.h>
#include <wx/timer.h>

class CBrowserView;
class HostConfig;
class IMozillaHost;

// A top-level window with one web page: the host's own browser window or a
// window a page opened. Implements the browser control for the host.
class CBrowserFrame : public wxFrame, public wxHtmlCtrl {
public:
    // Identifiers of the browser commands the frame hands to its view.
    enum {
        ID_BACK = 32773,
        ID_FORWARD = 32774,
        ID_HOME = 32775,
        ID_STOP = 32776,
        ID_RELOAD = 32777,
        ID_SELECT_NONE = 32778,
        ID_VIEW_SOURCE = 32780,
        ID_PRINT_PREVIEW = 32789,
        ID_NOOP = 32791,
        ID_PRINT = 32815,
        ID_CUT = 32816,
        ID_COPY = 32817,
        ID_PASTE = 32818,
        ID_SELECT_ALL = 32820,
    };

    // How long a closed hosted frame keeps its page for the shutdown command.
    static constexpr int ShutdownGraceMs = 2500;

    CBrowserFrame(const BrowserFrameOptions& options, IMozillaHost* host);
    ~CBrowserFrame() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                const wxSize& size, long style, const wxString& name);

    // wxHtmlCtrl
    wxString GetName() override { return m_options.name; }
    bool LoadURL(const wxString& url) override;
    bool SetHTML(const wxString& html, const wxString* fileName) override;
    wxString GetDocumentContent() override;
    wxString GetNavigationContent() override;
    void Print() override;
    void PrintPreview(bool on) override;
    void Reserved1() override {}
    void Reserved2() override {}
    void setSize(const wxSize& size) override;
    void SetHostConfig(HostConfig* config) override { m_hostConfig = config; }
    wxFrame* GetFrame() override { return this; }

    // The engine is about to open `url`: true aborts it.
    bool OnStartURIOpen(NavigationRequest& request);

    CBrowserView* GetView() const { return m_view; }
    BrowserFrameGlueObj& Glue() { return m_glue; }
    IMozillaHost* Host() const { return m_host; }
    HostConfig* GetHostConfig() const { return m_hostConfig; }
    const BrowserFrameOptions& Options() const { return m_options; }
    bool IsHosted() const { return m_options.hosted; }
    bool IsFirstNavigationPending() const { return m_firstNavigationPending; }
    bool IsClosing() const override { return m_closing; }
    int GetZoomPercent() const override;
    void SetZoomPercent(int percent) override;
    void AskPageToClose(std::function<void(bool mayClose)> done) override;
    // A later close asks the page again (another window's page kept the application).
    void ForgetPageAgreement() { m_pageAgreed = false; }
    // The browser takes the whole client area (no browser rectangle configured).
    bool FillsFrame() const { return m_fillsFrame; }
    // The frame's native handle, as the engine's site windows name it.
    void* NativeHandle() { return static_cast<wxWindow*>(this); }

private:
    void OnCreate();
    void OnClose(wxCloseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void OnActivate(wxActivateEvent& event);
    void OnIconize(wxIconizeEvent& event);
    void OnViewCommand(wxCommandEvent& event);

    HostConfig* m_hostConfig = nullptr;
    BrowserFrameOptions m_options;
    IMozillaHost* m_host;
    bool m_firstNavigationPending = true;
    bool m_closing = false;
    bool m_pageAgreed = false; // the page's beforeunload let it go
    bool m_askingPage = false;
    bool m_fillsFrame = false;
    CBrowserView* m_view = nullptr;
    BrowserFrameGlueObj m_glue;
    wxTimer m_closeTimer;
};
