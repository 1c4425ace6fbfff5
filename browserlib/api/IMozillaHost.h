#pragma once

class IHtmlControlNavigationListener;

// The host of the hosted browser frame: hears when it comes and goes.
class IMozillaHost {
public:
    IHtmlControlNavigationListener* m_NavigationListener = nullptr;

    virtual bool OnInit() = 0;
    virtual bool OnExit() = 0;
    // The hosted frame is about to close while it still has its place, size
    // and zoom (its page has agreed, or nobody asked it).
    virtual void OnClosing() {}

protected:
    ~IMozillaHost() = default;
};

// The host used where none is known: does nothing, listens to nothing.
class ZeroHost : public IMozillaHost {
public:
    bool OnInit() override { return true; }
    bool OnExit() override { return true; }
    static ZeroHost* Get();
};
