#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <deque>
#include <functional>

// Work the runtime defers to the GUI thread's event loop: whoever pumps the
// queue (the browser views, from their idle handlers) runs it there, never
// inside an engine callback.
class EventQueue : public nsIEventQueue {
    NS_DECL_ISUPPORTS
public:
    static EventQueue& Main();
    // Called whenever work arrives, so that the pump gets a turn soon.
    static void SetWakeUp(std::function<void()> wakeUp);
    static void Post(std::function<void()> work);

    nsresult PostEvent(nsIRunnable* event) override;
    nsresult ProcessPendingEvents() override;
    nsresult PendingEvents(PRBool* pending) override;

private:
    std::deque<nsCOMPtr<nsIRunnable>> mEvents;
};

// The event queue service, by its class ID.
class EventQueueService : public nsIEventQueueService {
    NS_DECL_ISUPPORTS
public:
    static const nsCID& CID();
    nsresult GetThreadEventQueue(void* thread, nsIEventQueue** result) override;
};
