#include "browserlib/profile/ProfileStartup.h"

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

nsresult ProfileStartup::Startup() {
    nsresult rv = NS_OK;
    nsCOMPtr<nsIProfile> profiles =
        do_GetService<nsIProfile>("@mozilla.org/profile/manager;1", &rv);
    if (!profiles)
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    PRInt32 count = 0;
    rv = profiles->GetProfileCount(&count);
    if (NS_FAILED(rv))
        return rv;
    if (count == 0) {
        rv = profiles->CreateNewProfile(u"default", nullptr, nullptr, false);
        if (NS_FAILED(rv))
            return rv;
        return profiles->SetCurrentProfile(u"default");
    }
    PRBool showDialog = true;
    rv = ShowDialogAtStartup(&showDialog);
    if (NS_SUCCEEDED(rv) && (count == 1 || !showDialog)) {
        PRUnichar* name = nullptr;
        rv = profiles->GetCurrentProfile(&name);
        if (NS_FAILED(rv))
            return rv;
        rv = profiles->SetCurrentProfile(name);
        nsMemory::Free(name);
        return rv;
    }
    ShowProfileManager(true);
    return NS_OK;
}

nsresult ProfileStartup::ShowProfileManager(bool) {
    return NS_OK;
}

nsresult ProfileStartup::ShowDialogAtStartup(PRBool* show) {
    *show = true;
    nsresult rv = NS_OK;
    nsCOMPtr<nsIRegistry> registry = do_CreateInstance<nsIRegistry>("@mozilla.org/registry;1", &rv);
    if (!registry)
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    rv = registry->OpenWellKnownRegistry(nsIRegistry::ApplicationRegistry);
    if (NS_FAILED(rv))
        return rv;
    nsRegistryKey key = 0;
    rv = registry->GetKey(nsIRegistry::Common, u"global-prefs", &key);
    if (NS_FAILED(rv))
        return rv;
    PRInt32 value = 1;
    rv = registry->GetInt(key, "start-show-dialog", &value);
    if (NS_FAILED(rv))
        return rv;
    *show = value != 0;
    return NS_OK;
}
