#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <functional>
#include <string>

// Components by contract ID. Registering a factory for a contract ID that is
// already taken replaces the old one when asked to: every later request, the
// runtime's own included, gets the new component. Services are the single
// instance a factory made on the first request.
class nsComponentManager {
public:
    static nsresult RegisterFactory(const nsCID& cid, const char* className, const char* contractID,
                                    nsIFactory* factory, PRBool replace);
    static nsresult CreateInstance(const char* contractID, const nsIID& iid, void** result);
    static nsresult CreateInstance(const nsCID& cid, const nsIID& iid, void** result);
    static nsresult GetService(const char* contractID, const nsIID& iid, void** result);
    static nsresult GetService(const nsCID& cid, const nsIID& iid, void** result);
    static bool IsRegistered(const char* contractID);

    // Drops every factory and service (at the end of the embedding).
    static void Shutdown();
};

// A factory that makes objects with a function, for the runtime's own components.
class nsSimpleFactory : public nsIFactory {
    NS_DECL_ISUPPORTS
public:
    using Constructor = std::function<nsISupports*()>;
    explicit nsSimpleFactory(Constructor constructor) : mConstructor(std::move(constructor)) {}
    nsresult CreateInstance(nsISupports* outer, const nsIID& iid, void** result) override;
    nsresult LockFactory(PRBool) override { return NS_OK; }

private:
    Constructor mConstructor;
};

template <class T> nsCOMPtr<T> do_GetService(const char* contractID, nsresult* rv = nullptr) {
    nsCOMPtr<T> result;
    const nsresult r =
        nsComponentManager::GetService(contractID, NS_GET_IID(T), result.StartAssignmentVoid());
    if (rv)
        *rv = r;
    return result;
}
template <class T> nsCOMPtr<T> do_GetService(const nsCID& cid, nsresult* rv = nullptr) {
    nsCOMPtr<T> result;
    const nsresult r =
        nsComponentManager::GetService(cid, NS_GET_IID(T), result.StartAssignmentVoid());
    if (rv)
        *rv = r;
    return result;
}
template <class T> nsCOMPtr<T> do_CreateInstance(const char* contractID, nsresult* rv = nullptr) {
    nsCOMPtr<T> result;
    const nsresult r =
        nsComponentManager::CreateInstance(contractID, NS_GET_IID(T), result.StartAssignmentVoid());
    if (rv)
        *rv = r;
    return result;
}
