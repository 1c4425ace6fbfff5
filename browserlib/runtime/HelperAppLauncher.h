#pragma once

#include "browserlib/runtime/engine/EngineView.h"
#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

// A download on its way to the disk: asks the helper-application dialog
// where it goes, then hands the answer to the engine.
class HelperAppLauncher : public nsIHelperAppLauncher {
    NS_DECL_ISUPPORTS
public:
    HelperAppLauncher(EngineDownload& download, nsIHelperAppLauncherDialog* dialog)
        : mDownload(&download), mDialog(dialog) {}

    nsresult SaveToDisk(nsIFile* file, PRBool rememberThisPreference) override;
    nsresult Cancel() override;
    nsresult GetSuggestedFileName(PRUnichar** name) override;
    nsresult GetSource(nsIURI** source) override;

    // The engine's download object is only valid while it decides.
    void Detach() { mDownload = nullptr; }
    bool Decided() const { return mDecided; }

private:
    EngineDownload* mDownload;
    nsCOMPtr<nsIHelperAppLauncherDialog> mDialog;
    bool mDecided = false;
};
