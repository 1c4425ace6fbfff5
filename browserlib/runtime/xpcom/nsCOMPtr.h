#pragma once

#include "browserlib/runtime/xpcom/nsCore.h"

#include <utility>

// An owning pointer to an interface: one reference while it holds the object.
template <class T> class nsCOMPtr {
public:
    nsCOMPtr() = default;
    nsCOMPtr(std::nullptr_t) {}
    nsCOMPtr(T* raw) : mRaw(raw) { NS_IF_ADDREF(mRaw); }
    nsCOMPtr(const nsCOMPtr& other) : mRaw(other.mRaw) { NS_IF_ADDREF(mRaw); }
    nsCOMPtr(nsCOMPtr&& other) noexcept : mRaw(other.mRaw) { other.mRaw = nullptr; }
    // Queries `source` for T; null when it does not answer.
    template <class U> static nsCOMPtr Query(U* source) {
        nsCOMPtr result;
        if (source)
            source->QueryInterface(NS_GET_IID(T), reinterpret_cast<void**>(&result.mRaw));
        return result;
    }
    ~nsCOMPtr() { NS_IF_RELEASE(mRaw); }

    nsCOMPtr& operator=(T* raw) {
        NS_IF_ADDREF(raw);
        T* old = mRaw;
        mRaw = raw;
        NS_IF_RELEASE(old);
        return *this;
    }
    nsCOMPtr& operator=(const nsCOMPtr& other) { return *this = other.mRaw; }
    nsCOMPtr& operator=(nsCOMPtr&& other) noexcept {
        std::swap(mRaw, other.mRaw);
        return *this;
    }

    T* get() const { return mRaw; }
    T* operator->() const { return mRaw; }
    operator T*() const { return mRaw; }
    explicit operator bool() const { return mRaw != nullptr; }

    // Out-parameter use: the callee's added reference becomes ours.
    T** StartAssignment() {
        NS_IF_RELEASE(mRaw);
        return &mRaw;
    }
    void** StartAssignmentVoid() { return reinterpret_cast<void**>(StartAssignment()); }

    // Hands the reference to the caller's out-parameter.
    void forget(T** out) {
        *out = mRaw;
        mRaw = nullptr;
    }

private:
    T* mRaw = nullptr;
};

template <class T> inline T** getter_AddRefs(nsCOMPtr<T>& p) {
    return p.StartAssignment();
}

template <class T, class U> inline nsCOMPtr<T> do_QueryInterface(U* source) {
    return nsCOMPtr<T>::Query(source);
}
template <class T, class U> inline nsCOMPtr<T> do_QueryInterface(const nsCOMPtr<U>& source) {
    return nsCOMPtr<T>::Query(source.get());
}
