#pragma once

// The object model of the embedding runtime: result codes, interface IDs,
// reference counting and interface queries.

#include <atomic>
#include <cstdint>
#include <cstring>

using nsresult = uint32_t;
using nsrefcnt = uint32_t;
using PRBool = bool;
using PRInt32 = int32_t;
using PRUint32 = uint32_t;
using PRUnichar = char16_t;

#define NS_OK nsresult(0)
#define NS_ERROR_NOT_IMPLEMENTED nsresult(0x80004001)
#define NS_NOINTERFACE nsresult(0x80004002)
#define NS_ERROR_NO_INTERFACE NS_NOINTERFACE
#define NS_ERROR_NULL_POINTER nsresult(0x80004003)
#define NS_ERROR_ABORT nsresult(0x80004004)
#define NS_ERROR_FAILURE nsresult(0x80004005)
#define NS_ERROR_OUT_OF_MEMORY nsresult(0x8007000E)
#define NS_ERROR_ILLEGAL_VALUE nsresult(0x80070057)
#define NS_ERROR_INVALID_ARG NS_ERROR_ILLEGAL_VALUE
#define NS_ERROR_NOT_AVAILABLE nsresult(0x80040111)
#define NS_ERROR_FACTORY_NOT_REGISTERED nsresult(0x80040154)
#define NS_ERROR_NOT_INITIALIZED nsresult(0xC1F30001)
#define NS_ERROR_FILE_NOT_FOUND nsresult(0x80520012)

inline bool NS_FAILED(nsresult rv) {
    return (rv & 0x80000000u) != 0;
}
inline bool NS_SUCCEEDED(nsresult rv) {
    return (rv & 0x80000000u) == 0;
}

// A 128-bit identifier of an interface or a class.
struct nsID {
    uint32_t m0;
    uint16_t m1;
    uint16_t m2;
    uint8_t m3[8];

    bool Equals(const nsID& other) const { return std::memcmp(this, &other, sizeof(nsID)) == 0; }
    bool operator==(const nsID& other) const { return Equals(other); }
    bool operator!=(const nsID& other) const { return !Equals(other); }
};
using nsIID = nsID;
using nsCID = nsID;

#define NS_DECLARE_IID(m0, m1, m2, a, b, c, d, e, f, g, h)                                         \
    static const nsIID& GetIID() {                                                                 \
        static const nsIID iid = {m0, m1, m2, {a, b, c, d, e, f, g, h}};                           \
        return iid;                                                                                \
    }
#define NS_GET_IID(T) T::GetIID()

class nsISupports {
public:
    NS_DECLARE_IID(0x00000000, 0x0000, 0x0000, 0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
    virtual nsresult QueryInterface(const nsIID& iid, void** result) = 0;
    virtual nsrefcnt AddRef() = 0;
    virtual nsrefcnt Release() = 0;

protected:
    virtual ~nsISupports() = default;
};

// Reference counting for an implementation class: the count starts at 0 and
// the object deletes itself when the last reference goes.
#define NS_DECL_ISUPPORTS                                                                          \
public:                                                                                            \
    nsresult QueryInterface(const nsIID& iid, void** result) override;                             \
    nsrefcnt AddRef() override {                                                                   \
        return ++mRefCnt;                                                                          \
    }                                                                                              \
    nsrefcnt Release() override {                                                                  \
        const nsrefcnt count = --mRefCnt;                                                          \
        if (count == 0)                                                                            \
            delete this;                                                                           \
        return count;                                                                              \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    std::atomic<nsrefcnt> mRefCnt{0};                                                              \
                                                                                                   \
public:

// QueryInterface tables: the first entry that matches answers.
#define NS_INTERFACE_MAP_BEGIN(Class)                                                              \
    nsresult Class::QueryInterface(const nsIID& iid, void** result) {                              \
        if (!result)                                                                               \
            return NS_ERROR_NULL_POINTER;                                                          \
        nsISupports* found = nullptr;
#define NS_INTERFACE_MAP_ENTRY(Interface)                                                          \
    if (!found && iid.Equals(NS_GET_IID(Interface)))                                               \
        found = static_cast<Interface*>(this);
#define NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(Interface, Via)                                           \
    if (!found && iid.Equals(NS_GET_IID(Interface)))                                               \
        found = static_cast<Interface*>(static_cast<Via*>(this));
#define NS_INTERFACE_MAP_END                                                                       \
    *result = found;                                                                               \
    if (!found)                                                                                    \
        return NS_NOINTERFACE;                                                                     \
    found->AddRef();                                                                               \
    return NS_OK;                                                                                  \
    }

template <class T> inline void NS_IF_RELEASE(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}
template <class T> inline void NS_IF_ADDREF(T* p) {
    if (p)
        p->AddRef();
}
