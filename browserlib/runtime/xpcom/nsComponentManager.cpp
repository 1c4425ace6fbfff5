#include "browserlib/runtime/xpcom/nsComponentManager.h"

#include <map>
#include <vector>

namespace {
struct Entry {
    nsCID cid;
    std::string className;
    nsCOMPtr<nsIFactory> factory;
    nsCOMPtr<nsISupports> service;
};

struct CidLess {
    bool operator()(const nsCID& a, const nsCID& b) const {
        return std::memcmp(&a, &b, sizeof(nsCID)) < 0;
    }
};

struct Registry {
    std::map<std::string, Entry> byContract;
    std::map<nsCID, std::string, CidLess> contractByCid;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry; // outlives static destruction
    return *registry;
}

Entry* FindByCid(const nsCID& cid) {
    Registry& r = TheRegistry();
    const auto it = r.contractByCid.find(cid);
    if (it == r.contractByCid.end())
        return nullptr;
    const auto entry = r.byContract.find(it->second);
    return entry == r.byContract.end() ? nullptr : &entry->second;
}

Entry* FindByContract(const char* contractID) {
    if (!contractID)
        return nullptr;
    Registry& r = TheRegistry();
    const auto it = r.byContract.find(contractID);
    return it == r.byContract.end() ? nullptr : &it->second;
}

nsresult Create(Entry* entry, const nsIID& iid, void** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    if (!entry || !entry->factory)
        return NS_ERROR_FACTORY_NOT_REGISTERED;
    // The factory stays alive while it works, even if it replaces itself.
    nsCOMPtr<nsIFactory> factory = entry->factory;
    return factory->CreateInstance(nullptr, iid, result);
}

nsresult Service(Entry* entry, const nsIID& iid, void** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    if (!entry || !entry->factory)
        return NS_ERROR_FACTORY_NOT_REGISTERED;
    if (!entry->service) {
        nsCOMPtr<nsISupports> created;
        const nsresult rv = Create(entry, NS_GET_IID(nsISupports), created.StartAssignmentVoid());
        if (NS_FAILED(rv))
            return rv;
        entry->service = created;
    }
    return entry->service->QueryInterface(iid, result);
}
} // namespace

nsresult nsComponentManager::RegisterFactory(const nsCID& cid, const char* className,
                                             const char* contractID, nsIFactory* factory,
                                             PRBool replace) {
    if (!contractID || !factory)
        return NS_ERROR_NULL_POINTER;
    Registry& r = TheRegistry();
    auto it = r.byContract.find(contractID);
    if (it != r.byContract.end()) {
        if (!replace)
            return NS_ERROR_FACTORY_NOT_REGISTERED;
        r.contractByCid.erase(it->second.cid);
    }
    Entry entry;
    entry.cid = cid;
    entry.className = className ? className : "";
    entry.factory = factory;
    r.byContract[contractID] = entry;
    r.contractByCid[cid] = contractID;
    return NS_OK;
}

nsresult nsComponentManager::CreateInstance(const char* contractID, const nsIID& iid,
                                            void** result) {
    return Create(FindByContract(contractID), iid, result);
}

nsresult nsComponentManager::CreateInstance(const nsCID& cid, const nsIID& iid, void** result) {
    return Create(FindByCid(cid), iid, result);
}

nsresult nsComponentManager::GetService(const char* contractID, const nsIID& iid, void** result) {
    return Service(FindByContract(contractID), iid, result);
}

nsresult nsComponentManager::GetService(const nsCID& cid, const nsIID& iid, void** result) {
    return Service(FindByCid(cid), iid, result);
}

bool nsComponentManager::IsRegistered(const char* contractID) {
    return FindByContract(contractID) != nullptr;
}

void nsComponentManager::Shutdown() {
    // Services may ask for other services while they go: empty the map first.
    std::map<std::string, Entry> entries;
    entries.swap(TheRegistry().byContract);
    TheRegistry().contractByCid.clear();
    for (auto& e : entries)
        e.second.service = nullptr;
    entries.clear();
}

NS_INTERFACE_MAP_BEGIN(nsSimpleFactory)
NS_INTERFACE_MAP_ENTRY(nsIFactory)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult nsSimpleFactory::CreateInstance(nsISupports* outer, const nsIID& iid, void** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    if (outer)
        return NS_ERROR_NOT_AVAILABLE;
    nsISupports* object = mConstructor();
    if (!object)
        return NS_ERROR_OUT_OF_MEMORY;
    object->AddRef();
    const nsresult rv = object->QueryInterface(iid, result);
    object->Release();
    return rv;
}
