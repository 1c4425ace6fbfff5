#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <memory>

// Weak-reference support for an implementation class: derive from it and answer
// nsISupportsWeakReference in QueryInterface. References handed out turn null
// when the object is destroyed.
class nsSupportsWeakReference : public nsISupportsWeakReference {
public:
    nsresult GetWeakReference(nsIWeakReference** result) override;

protected:
    nsSupportsWeakReference() = default;
    ~nsSupportsWeakReference() override;
    // The object the references lead to; the implementation's nsISupports.
    virtual nsISupports* WeakReferent() { return this; }

private:
    class Reference;
    Reference* mReference = nullptr;
};

// A weak reference to `object`, or null when it supports none.
nsCOMPtr<nsIWeakReference> NS_GetWeakReference(nsISupports* object);

// The object behind `reference` queried for T, or null once it is gone.
template <class T> nsCOMPtr<T> do_QueryReferent(nsIWeakReference* reference) {
    nsCOMPtr<T> result;
    if (reference)
        reference->QueryReferent(NS_GET_IID(T), result.StartAssignmentVoid());
    return result;
}
