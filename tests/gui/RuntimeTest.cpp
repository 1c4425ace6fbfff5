#include "browserlib/runtime/EmbeddingRuntime.h"
#include "browserlib/runtime/xpcom/ObserverService.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "browserlib/runtime/xpcom/nsWeakReference.h"

#include <gtest/gtest.h>

namespace {
class CountingObserver : public nsIObserver, public nsSupportsWeakReference {
public:
    nsresult QueryInterface(const nsIID& iid, void** result) override;
    nsrefcnt AddRef() override { return ++refs; }
    nsrefcnt Release() override {
        if (--refs == 0) {
            delete this;
            return 0;
        }
        return refs;
    }
    nsresult Observe(nsISupports*, const char*, const PRUnichar*) override {
        ++calls;
        return NS_OK;
    }
    int refs = 0;
    int calls = 0;

protected:
    nsISupports* WeakReferent() override { return static_cast<nsIObserver*>(this); }
};

class Thing : public nsIObserver {
    NS_DECL_ISUPPORTS
public:
    explicit Thing(int id) : id(id) {}
    nsresult Observe(nsISupports*, const char*, const PRUnichar*) override { return NS_OK; }
    int id;
};
} // namespace

NS_INTERFACE_MAP_BEGIN(CountingObserver)
NS_INTERFACE_MAP_ENTRY(nsIObserver)
NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(nsISupports, nsIObserver)
NS_INTERFACE_MAP_ENTRY(nsISupportsWeakReference)
NS_INTERFACE_MAP_END

NS_INTERFACE_MAP_BEGIN(Thing)
NS_INTERFACE_MAP_ENTRY(nsIObserver)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

TEST(Runtime, EmbeddingNestsAndOnlyTheLastStopShutsDown) {
    ASSERT_EQ(NS_InitEmbedding(nullptr, nullptr), NS_OK);
    ASSERT_EQ(NS_InitEmbedding(nullptr, nullptr), NS_OK);
    EXPECT_TRUE(nsComponentManager::IsRegistered("@mozilla.org/observer-service;1"));
    EXPECT_EQ(NS_TermEmbedding(), NS_OK);
    EXPECT_TRUE(EmbeddingRuntime::IsUp());
    EXPECT_TRUE(nsComponentManager::IsRegistered("@mozilla.org/observer-service;1"));
    EXPECT_EQ(NS_TermEmbedding(), NS_OK);
    EXPECT_FALSE(EmbeddingRuntime::IsUp());
    EXPECT_FALSE(nsComponentManager::IsRegistered("@mozilla.org/observer-service;1"));
    EXPECT_EQ(NS_TermEmbedding(), NS_ERROR_NOT_INITIALIZED);
}

TEST(Runtime, RegisterFactoryWithReplaceReallyReplaces) {
    ASSERT_EQ(NS_InitEmbedding(nullptr, nullptr), NS_OK);
    const nsCID one = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const nsCID two = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 12}};
    nsCOMPtr<nsIFactory> first =
        new nsSimpleFactory([] { return static_cast<nsIObserver*>(new Thing(1)); });
    nsCOMPtr<nsIFactory> second =
        new nsSimpleFactory([] { return static_cast<nsIObserver*>(new Thing(2)); });
    ASSERT_EQ(nsComponentManager::RegisterFactory(one, "thing", "@test/thing;1", first, true),
              NS_OK);
    EXPECT_NE(nsComponentManager::RegisterFactory(two, "thing", "@test/thing;1", second, false),
              NS_OK);
    nsCOMPtr<nsIObserver> made = do_CreateInstance<nsIObserver>("@test/thing;1");
    EXPECT_EQ(static_cast<Thing*>(made.get())->id, 1);
    ASSERT_EQ(nsComponentManager::RegisterFactory(two, "thing", "@test/thing;1", second, true),
              NS_OK);
    made = do_CreateInstance<nsIObserver>("@test/thing;1");
    EXPECT_EQ(static_cast<Thing*>(made.get())->id, 2);
    nsCOMPtr<nsIObserver> byCid;
    EXPECT_EQ(nsComponentManager::CreateInstance(two, NS_GET_IID(nsIObserver),
                                                 byCid.StartAssignmentVoid()),
              NS_OK);
    EXPECT_NE(nsComponentManager::CreateInstance(one, NS_GET_IID(nsIObserver),
                                                 byCid.StartAssignmentVoid()),
              NS_OK);
    nsCOMPtr<nsIPref> wrong;
    EXPECT_EQ(nsComponentManager::CreateInstance("@test/thing;1", NS_GET_IID(nsIPref),
                                                 wrong.StartAssignmentVoid()),
              NS_NOINTERFACE);
    EXPECT_FALSE(wrong);
    NS_TermEmbedding();
}

TEST(Runtime, WeaklyHeldObserversGoAwayQuietly) {
    nsCOMPtr<ObserverService> service = new ObserverService;
    auto* observer = new CountingObserver;
    observer->AddRef();
    ASSERT_EQ(service->AddObserver(observer, "topic", true), NS_OK);
    EXPECT_EQ(observer->refs, 1) << "held weakly: no reference taken";
    service->NotifyObservers(nullptr, "topic", nullptr);
    service->NotifyObservers(nullptr, "other", nullptr);
    EXPECT_EQ(observer->calls, 1);
    nsCOMPtr<nsIWeakReference> weak = NS_GetWeakReference(static_cast<nsIObserver*>(observer));
    observer->Release(); // gone
    EXPECT_FALSE(do_QueryReferent<nsIObserver>(weak));
    EXPECT_EQ(service->NotifyObservers(nullptr, "topic", nullptr), NS_OK);
    nsCOMPtr<Thing> strong = new Thing(3);
    EXPECT_EQ(service->AddObserver(strong, "topic", true), NS_NOINTERFACE)
        << "no weak reference support";
}

TEST(Runtime, StringConversionsKeepEveryCharacter) {
    const std::string text = "Gr\xc3\xbc\xc3\x9f"
                             "e \xf0\x9f\x98\x80";
    EXPECT_EQ(nsMemory::ToUTF8(nsMemory::ToUTF16(text)), text);
    PRUnichar* copy = nsMemory::CloneUnicode(u"abc");
    EXPECT_EQ(nsMemory::FromUnicode(copy), u"abc");
    nsMemory::Free(copy);
    EXPECT_EQ(nsMemory::FromUnicode(nullptr), u"");
}
