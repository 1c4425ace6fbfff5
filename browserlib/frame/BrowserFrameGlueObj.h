#pragma once

struct NavigationRequest;

#include "browserlib/frame/BrowserFrameGlue.h"

class CBrowserFrame;

// The glue of one frame: turns the chrome's calls into actions on the frame.
class BrowserFrameGlueObj : public BrowserFrameGlue {
public:
    explicit BrowserFrameGlueObj(CBrowserFrame* frame) : m_frame(frame) {}

    void OnBeforeNavigate(nsIRequest* request) override;
    void OnNavigateComplete(nsIRequest* request) override;
    void UpdateStatusBarText(const PRUnichar* text) override;
    void UpdateProgress(PRInt32 progress, PRInt32 progressMax) override;
    void UpdateBusyState(PRBool busy) override;
    void UpdateCurrentURI(nsIURI* uri) override;
    void UpdateSecurityStatus(PRInt32 state) override;
    PRBool CreateNewBrowserFrame(PRUint32 chromeMask, PRInt32 x, PRInt32 y, PRInt32 cx, PRInt32 cy,
                                 nsIWebBrowser** webBrowser) override;
    void DestroyBrowserFrame() override;
    void GetBrowserFrameTitle(PRUnichar** title) override;
    void SetBrowserFrameTitle(const PRUnichar* title) override;
    void GetBrowserFramePosition(PRInt32* x, PRInt32* y) override;
    void SetBrowserFramePosition(PRInt32 x, PRInt32 y) override;
    void GetBrowserFrameSize(PRInt32* cx, PRInt32* cy) override;
    void SetBrowserFrameSize(PRInt32 cx, PRInt32 cy) override;
    void GetBrowserFramePositionAndSize(PRInt32* x, PRInt32* y, PRInt32* cx, PRInt32* cy) override;
    void SetBrowserFramePositionAndSize(PRInt32 x, PRInt32 y, PRInt32 cx, PRInt32 cy,
                                        PRBool repaint) override;
    void ShowBrowserFrame(PRBool show) override;
    void SetFocus() override;
    PRBool GetBrowserFrameVisibility(PRBool* visible) override;
    void ShowContextMenu(PRUint32 contextFlags, nsIDOMNode* node) override;
    wxWindow* GetBrowserFrameNativeWnd() override;
    PRBool OnStartURIOpen(NavigationRequest& request) override;
    bool OnBrowserKey(const wxString& name, PRUint32 modifiers) override;
    bool AskReloadAfterCrashes() override;

    // The last progress reported (for the view's commands and tests).
    PRInt32 LastProgress() const { return m_progress; }
    PRInt32 LastProgressMax() const { return m_progressMax; }
    const wxString& CurrentURI() const { return m_currentUri; }

private:
    CBrowserFrame* m_frame;
    PRInt32 m_progress = 0, m_progressMax = 0;
    wxString m_currentUri;
};
