#pragma once

struct NavigationRequest;

#include "browserlib/runtime/nsEmbeddingInterfaces.h"

#include <wx/string.h>

class wxWindow;

// What the chrome asks of the frame around its browser.
class BrowserFrameGlue {
public:
    virtual void OnBeforeNavigate(nsIRequest* request) = 0;
    virtual void OnNavigateComplete(nsIRequest* request) = 0;
    virtual void UpdateStatusBarText(const PRUnichar* text) = 0;
    virtual void UpdateProgress(PRInt32 progress, PRInt32 progressMax) = 0;
    virtual void UpdateBusyState(PRBool busy) = 0;
    virtual void UpdateCurrentURI(nsIURI* uri) = 0;
    virtual void UpdateSecurityStatus(PRInt32 state) = 0;
    virtual PRBool CreateNewBrowserFrame(PRUint32 chromeMask, PRInt32 x, PRInt32 y, PRInt32 cx,
                                         PRInt32 cy, nsIWebBrowser** webBrowser) = 0;
    virtual void DestroyBrowserFrame() = 0;
    virtual void GetBrowserFrameTitle(PRUnichar** title) = 0;
    virtual void SetBrowserFrameTitle(const PRUnichar* title) = 0;
    virtual void GetBrowserFramePosition(PRInt32* x, PRInt32* y) = 0;
    virtual void SetBrowserFramePosition(PRInt32 x, PRInt32 y) = 0;
    virtual void GetBrowserFrameSize(PRInt32* cx, PRInt32* cy) = 0;
    virtual void SetBrowserFrameSize(PRInt32 cx, PRInt32 cy) = 0;
    virtual void GetBrowserFramePositionAndSize(PRInt32* x, PRInt32* y, PRInt32* cx,
                                                PRInt32* cy) = 0;
    virtual void SetBrowserFramePositionAndSize(PRInt32 x, PRInt32 y, PRInt32 cx, PRInt32 cy,
                                                PRBool repaint) = 0;
    virtual void ShowBrowserFrame(PRBool show) = 0;
    virtual void SetFocus() = 0;
    virtual PRBool GetBrowserFrameVisibility(PRBool* visible) = 0;
    virtual void ShowContextMenu(PRUint32 contextFlags, nsIDOMNode* node) = 0;
    virtual wxWindow* GetBrowserFrameNativeWnd() = 0;
    virtual PRBool OnStartURIOpen(NavigationRequest& request) = 0;
    // A key pressed in the page; true when the frame took it.
    virtual bool OnBrowserKey(const wxString& name, PRUint32 modifiers) = 0;
    // The page's renderer crashed again and again: true reloads once more.
    virtual bool AskReloadAfterCrashes() = 0;

protected:
    ~BrowserFrameGlue() = default;
};
