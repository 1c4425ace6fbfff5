#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

#include <wx/string.h>

// The library's download dialog: every download is saved to a file the user
// chooses in a save dialog; opening with another program is never offered.
class HelperAppLauncherDialog : public nsIHelperAppLauncherDialog {
    NS_DECL_ISUPPORTS
public:
    HelperAppLauncherDialog();
    nsresult Show(nsIHelperAppLauncher* launcher, nsISupports* context) override;
    nsresult PromptForSaveToFile(nsIHelperAppLauncher* launcher, nsISupports* context,
                                 const PRUnichar* defaultFile, const PRUnichar* suggestedExtension,
                                 nsILocalFile** result) override;

    // Shows the save dialog: the chosen path, or empty when cancelled. Tests
    // answer it themselves.
    static wxString (*s_chooseFile)(const wxString& defaultName);

private:
    nsCOMPtr<nsIWindowWatcher> m_windowWatcher;
};
