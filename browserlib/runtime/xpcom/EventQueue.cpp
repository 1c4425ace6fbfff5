#include "browserlib/runtime/xpcom/EventQueue.h"

#include <pthread.h>

namespace {
std::function<void()>& WakeUp() {
    static std::function<void()> wakeUp;
    return wakeUp;
}
const pthread_t g_mainThread = pthread_self();

class FunctionRunnable : public nsIRunnable {
    NS_DECL_ISUPPORTS
public:
    explicit FunctionRunnable(std::function<void()> work) : mWork(std::move(work)) {}
    nsresult Run() override {
        mWork();
        return NS_OK;
    }

private:
    std::function<void()> mWork;
};
} // namespace

NS_INTERFACE_MAP_BEGIN(FunctionRunnable)
NS_INTERFACE_MAP_ENTRY(nsIRunnable)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

NS_INTERFACE_MAP_BEGIN(EventQueue)
NS_INTERFACE_MAP_ENTRY(nsIEventQueue)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

EventQueue& EventQueue::Main() {
    static EventQueue* queue = [] {
        auto* q = new EventQueue;
        q->AddRef(); // lives as long as the process
        return q;
    }();
    return *queue;
}

void EventQueue::SetWakeUp(std::function<void()> wakeUp) {
    WakeUp() = std::move(wakeUp);
}

void EventQueue::Post(std::function<void()> work) {
    nsCOMPtr<nsIRunnable> runnable = new FunctionRunnable(std::move(work));
    Main().PostEvent(runnable);
}

nsresult EventQueue::PostEvent(nsIRunnable* event) {
    if (!event)
        return NS_ERROR_NULL_POINTER;
    mEvents.push_back(event);
    if (WakeUp())
        WakeUp()();
    return NS_OK;
}

nsresult EventQueue::ProcessPendingEvents() {
    // Only what is queued now: work that posts more work runs on the next turn.
    size_t count = mEvents.size();
    while (count-- > 0 && !mEvents.empty()) {
        nsCOMPtr<nsIRunnable> event = mEvents.front();
        mEvents.pop_front();
        event->Run();
    }
    return NS_OK;
}

nsresult EventQueue::PendingEvents(PRBool* pending) {
    if (!pending)
        return NS_ERROR_NULL_POINTER;
    *pending = !mEvents.empty();
    return NS_OK;
}

NS_INTERFACE_MAP_BEGIN(EventQueueService)
NS_INTERFACE_MAP_ENTRY(nsIEventQueueService)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

const nsCID& EventQueueService::CID() {
    static const nsCID cid = {
        0xbe761f00, 0xa3b0, 0x11d2, {0x99, 0x6c, 0x00, 0x80, 0xc7, 0xcb, 0x10, 0x80}};
    return cid;
}

nsresult EventQueueService::GetThreadEventQueue(void* thread, nsIEventQueue** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    // Only the GUI thread has a queue; the runtime runs nowhere else.
    if (thread != NS_CURRENT_THREAD || !pthread_equal(pthread_self(), g_mainThread))
        return NS_ERROR_NOT_AVAILABLE;
    *result = &EventQueue::Main();
    (*result)->AddRef();
    return NS_OK;
}
