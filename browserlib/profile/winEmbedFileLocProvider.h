#pragma once

#include <string>

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

// Tells the engine where its directories are: per-user data under one product
// directory in the user's data folder, read-only data beside the program.
class winEmbedFileLocProvider : public nsIDirectoryServiceProvider {
    NS_DECL_ISUPPORTS
public:
    explicit winEmbedFileLocProvider(const char* productDirName);
    nsresult GetFile(const char* key, PRBool* persistent, nsIFile** result) override;

    const char* ProductDirName() const { return mProductDirName; }
    // The folder that holds the profiles instead of the product directory's
    // "Profiles"; empty: that one.
    static void SetProfileRoot(const std::string& directory);

private:
    nsresult CloneApplicationDirectory(nsIFile** result);
    nsresult GetProductDirectory(nsIFile** result);
    nsresult GetDefaultUserProfileRoot(nsIFile** result);

    char mProductDirName[256];
    nsCOMPtr<nsIFile> mApplicationDirectory;
};
