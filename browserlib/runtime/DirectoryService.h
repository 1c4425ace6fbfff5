#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <string>

// Named directories. The embedder's provider is asked first; the runtime's own
// answers follow: "AppData" (XDG data home), "WinD" (home), "XCurProcD" and
// "CurProcD" (the program's directory), "TmpD".
class DirectoryService : public nsIProperties {
    NS_DECL_ISUPPORTS
public:
    explicit DirectoryService(nsIDirectoryServiceProvider* provider) : mProvider(provider) {}
    nsresult Get(const char* key, const nsIID& iid, void** result) override;

    // The runtime's own answer for `key` (no provider), or empty.
    static std::string BuiltIn(const std::string& key);

private:
    nsCOMPtr<nsIDirectoryServiceProvider> mProvider;
};
