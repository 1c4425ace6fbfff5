#pragma once

#include <functional>

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

#include <wx/scrolwin.h>

class BrowserFrameGlueObj;
class CBrowserFrame;
class CBrowserImpl;

// The child window of a browser frame that holds the engine's web browser.
class CBrowserView : public wxScrolledWindow {
public:
    CBrowserView(CBrowserFrame* frame, BrowserFrameGlueObj* glue);
    ~CBrowserView() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                const wxString& name);

    nsresult CreateBrowser();
    nsresult DestroyBrowser();
    // Stops the page and lets go of the engine (the page closed its window).
    void ReleaseEngine();

    void LoadURL(const wxString& url);
    void Activate(bool active);
    void CentreBrowser(const wxSize& parentSize, const wxRect& browserRect);
    void Print();
    void PrintPreview(bool on);
    void ViewSource();
    // A key pressed in the page: the browser keys, when the configuration has them.
    bool OnBrowserKey(const wxString& name, unsigned modifiers);
    // Runs the page's unload check; `done` hears whether it may go.
    void AskPageToClose(std::function<void(bool mayClose)> done);

    CBrowserImpl* GetChrome() const { return m_chrome; }
    nsIWebBrowser* GetWebBrowser() const { return mWebBrowser; }
    nsIWebNavigation* GetWebNavigation() const { return mWebNav; }
    nsIBaseWindow* GetBaseWindow() const { return mBaseWindow; }
    int ZoomPercent() const { return m_zoomPercent; }
    void SetZoomPercent(int percent);
    int Busy() const { return m_busy; }
    void SetBusy(int busy) { m_busy = busy; }
    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }
    bool IsActive() const { return m_active; }
    const wxString& DocumentContent() const { return m_documentContent; }
    const wxString& NavigationContent() const { return m_navigationContent; }
    void ClearDocumentContent() { m_documentContent.clear(); }
    void ClearNavigationContent() { m_navigationContent.clear(); }

private:
    void AskAndFind();
    int m_zoomPercent = 100;
    wxString m_findText;
    bool m_finding = false;
    void OnSize(wxSizeEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void RunDragDropHookCommand(const char* which);

    CBrowserFrame* m_frame;
    BrowserFrameGlueObj* m_glue;
    CBrowserImpl* m_chrome = nullptr;
    nsCOMPtr<nsIWebBrowser> mWebBrowser;
    nsCOMPtr<nsIWebNavigation> mWebNav;
    nsCOMPtr<nsIBaseWindow> mBaseWindow;
    nsCOMPtr<nsIEventQueue> m_eventQueue;
    nsCOMPtr<nsIPrintSettings> m_printSettings; // stays empty
    bool m_active = false;
    int m_busy = 0;
    bool m_printing = false;
    bool m_browserDestroyed = false;
    wxString m_documentContent;
    wxString m_navigationContent;
};
