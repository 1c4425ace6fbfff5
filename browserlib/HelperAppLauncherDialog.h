#pragma once

#include "nsCOMPtr.h"
#include "nsEmbeddingInterfaces.h"

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

private:
    nsCOMPtr<nsIWindowWatcher> m_windowWatcher;
};
