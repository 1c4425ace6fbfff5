#include "browserlib/services/HelperAppLauncherDialog.h"

#include "browserlib/StringConv.h"
#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/services/DownloadFolder.h"

#include <wx/filedlg.h>

NS_INTERFACE_MAP_BEGIN(HelperAppLauncherDialog)
NS_INTERFACE_MAP_ENTRY(nsIHelperAppLauncherDialog)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

wxString (*HelperAppLauncherDialog::s_chooseFile)(const wxString&) =
    [](const wxString& defaultName) {
        wxFileDialog dialog(nullptr, wxS("Download"), DownloadFolder::Find(), defaultName,
                            wxS("*.*"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    };

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
    const wxString path = s_chooseFile(StringConv::FromUnicode(defaultFile));
    if (path.empty())
        return NS_ERROR_FAILURE;
    return NS_NewNativeLocalFile(std::string(path.fn_str()), false, result);
}
