#include "browserlib/runtime/HelperAppLauncher.h"

#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/SimpleURI.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

NS_INTERFACE_MAP_BEGIN(HelperAppLauncher)
NS_INTERFACE_MAP_ENTRY(nsIHelperAppLauncher)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult HelperAppLauncher::SaveToDisk(nsIFile* file, PRBool) {
    if (!mDownload)
        return NS_ERROR_NOT_AVAILABLE;
    std::string path = LocalFile::PathOf(file);
    if (path.empty() && mDialog) {
        const std::u16string suggested = nsMemory::ToUTF16(mDownload->SuggestedFileName());
        const size_t dot = suggested.rfind(u'.');
        const std::u16string extension = dot == std::u16string::npos ? u"" : suggested.substr(dot);
        nsCOMPtr<nsILocalFile> chosen;
        const nsresult rv = mDialog->PromptForSaveToFile(this, nullptr, suggested.c_str(),
                                                         extension.c_str(), getter_AddRefs(chosen));
        if (NS_FAILED(rv) || !chosen) {
            Cancel();
            return rv;
        }
        path = LocalFile::PathOf(chosen);
    }
    if (path.empty()) {
        Cancel();
        return NS_ERROR_FAILURE;
    }
    mDecided = true;
    mDownload->SaveTo(path);
    return NS_OK;
}

nsresult HelperAppLauncher::Cancel() {
    if (mDownload && !mDecided)
        mDownload->Cancel();
    mDecided = true;
    return NS_OK;
}

nsresult HelperAppLauncher::GetSuggestedFileName(PRUnichar** name) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    *name = nsMemory::CloneUnicode(
        nsMemory::ToUTF16(mDownload ? mDownload->SuggestedFileName() : std::string()));
    return NS_OK;
}

nsresult HelperAppLauncher::GetSource(nsIURI** source) {
    if (!source)
        return NS_ERROR_NULL_POINTER;
    *source = new SimpleURI(mDownload ? mDownload->SourceUrl() : std::string());
    (*source)->AddRef();
    return NS_OK;
}
