#include "HelperAppLauncherDialog.h"

#include "LocalFile.h"
#include "StringConv.h"
#include "nsComponentManager.h"

#include <wx/filedlg.h>

NS_INTERFACE_MAP_BEGIN(HelperAppLauncherDialog)
NS_INTERFACE_MAP_ENTRY(nsIHelperAppLauncherDialog)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

HelperAppLauncherDialog::HelperAppLauncherDialog()
    : m_windowWatcher(do_GetService<nsIWindowWatcher>("@mozilla.org/embedcomp/window-watcher;1")) {}

nsresult HelperAppLauncherDialog::Show(nsIHelperAppLauncher* launcher, nsISupports*) {
    if (!launcher)
        return NS_ERROR_NULL_POINTER;
    return launcher->SaveToDisk(nullptr, false);
}

nsresult HelperAppLauncherDialog::PromptForSaveToFile(nsIHelperAppLauncher*, nsISupports*,
                                                      const PRUnichar* defaultFile,
                                                      const PRUnichar*, nsILocalFile** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    wxFileDialog dialog(nullptr, wxS("Download"), wxEmptyString,
                        StringConv::FromUnicode(defaultFile), wxS("*.*"),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return NS_ERROR_FAILURE;
    return NS_NewNativeLocalFile(std::string(dialog.GetPath().fn_str()), false, result);
}
