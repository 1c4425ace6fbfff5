#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <string>
#include <vector>

// Topics and their observers, held strongly or weakly.
class ObserverService : public nsIObserverService {
    NS_DECL_ISUPPORTS
public:
    nsresult AddObserver(nsIObserver* observer, const char* topic, PRBool holdWeak) override;
    nsresult RemoveObserver(nsIObserver* observer, const char* topic) override;
    nsresult NotifyObservers(nsISupports* subject, const char* topic,
                             const PRUnichar* data) override;

private:
    struct Registration {
        std::string topic;
        nsCOMPtr<nsIObserver> strong;
        nsCOMPtr<nsIWeakReference> weak;
        nsIObserver* identity = nullptr;
    };
    std::vector<Registration> mRegistrations;
};
