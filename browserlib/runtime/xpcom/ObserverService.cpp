#include "browserlib/runtime/xpcom/ObserverService.h"

#include "browserlib/runtime/xpcom/nsWeakReference.h"

#include <algorithm>

NS_INTERFACE_MAP_BEGIN(ObserverService)
NS_INTERFACE_MAP_ENTRY(nsIObserverService)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult ObserverService::AddObserver(nsIObserver* observer, const char* topic, PRBool holdWeak) {
    if (!observer || !topic)
        return NS_ERROR_NULL_POINTER;
    Registration r;
    r.topic = topic;
    r.identity = observer;
    if (holdWeak) {
        r.weak = NS_GetWeakReference(observer);
        if (!r.weak)
            return NS_NOINTERFACE;
    } else {
        r.strong = observer;
    }
    mRegistrations.push_back(r);
    return NS_OK;
}

nsresult ObserverService::RemoveObserver(nsIObserver* observer, const char* topic) {
    if (!topic)
        return NS_ERROR_NULL_POINTER;
    const auto before = mRegistrations.size();
    mRegistrations.erase(std::remove_if(mRegistrations.begin(), mRegistrations.end(),
                                        [&](const Registration& r) {
                                            return r.identity == observer && r.topic == topic;
                                        }),
                         mRegistrations.end());
    return mRegistrations.size() < before ? NS_OK : NS_ERROR_FAILURE;
}

nsresult ObserverService::NotifyObservers(nsISupports* subject, const char* topic,
                                          const PRUnichar* data) {
    if (!topic)
        return NS_ERROR_NULL_POINTER;
    // Observers may register or unregister while being told.
    std::vector<nsCOMPtr<nsIObserver>> observers;
    for (auto it = mRegistrations.begin(); it != mRegistrations.end();) {
        if (it->topic != topic) {
            ++it;
            continue;
        }
        nsCOMPtr<nsIObserver> observer =
            it->weak ? do_QueryReferent<nsIObserver>(it->weak) : it->strong;
        if (!observer) {
            it = mRegistrations.erase(it); // a weakly held observer that is gone
            continue;
        }
        observers.push_back(observer);
        ++it;
    }
    for (auto& observer : observers)
        observer->Observe(subject, topic, data);
    return NS_OK;
}
