#include "browserlib/runtime/xpcom/nsWeakReference.h"

class nsSupportsWeakReference::Reference : public nsIWeakReference {
    NS_DECL_ISUPPORTS
public:
    explicit Reference(nsSupportsWeakReference* owner) : mOwner(owner) {}
    nsresult QueryReferent(const nsIID& iid, void** result) override {
        if (!result)
            return NS_ERROR_NULL_POINTER;
        *result = nullptr;
        return mOwner ? mOwner->WeakReferent()->QueryInterface(iid, result) : NS_ERROR_NULL_POINTER;
    }
    void Detach() { mOwner = nullptr; }

private:
    nsSupportsWeakReference* mOwner;
};

NS_INTERFACE_MAP_BEGIN(nsSupportsWeakReference::Reference)
NS_INTERFACE_MAP_ENTRY(nsIWeakReference)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult nsSupportsWeakReference::GetWeakReference(nsIWeakReference** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    if (!mReference) {
        mReference = new Reference(this);
        mReference->AddRef(); // ours, dropped when the object goes
    }
    mReference->AddRef();
    *result = mReference;
    return NS_OK;
}

nsSupportsWeakReference::~nsSupportsWeakReference() {
    if (mReference) {
        mReference->Detach();
        mReference->Release();
    }
}

nsCOMPtr<nsIWeakReference> NS_GetWeakReference(nsISupports* object) {
    nsCOMPtr<nsIWeakReference> reference;
    nsCOMPtr<nsISupportsWeakReference> support =
        do_QueryInterface<nsISupportsWeakReference>(object);
    if (support)
        support->GetWeakReference(getter_AddRefs(reference));
    return reference;
}
