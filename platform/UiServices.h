#pragma once

#include <memory>
#include <wx/string.h>

// The few user-interface services that the host's logic needs: message boxes,
// the default browser and the clock. Logic calls this facade; the program installs
// the toolkit implementation, tests install their own and run without a display.
class UiServices {
public:
    enum class Icon { Error, Warning, Information };

    virtual ~UiServices() = default;

    // Modal box without owner, one OK button; returns once dismissed.
    virtual void ShowMessage(const wxString& caption, const wxString& text, Icon icon) = 0;

    // A box that ends the program: the message, the details below it, and
    // buttons that copy the details and open the log with the desktop's program.
    struct Failure {
        wxString caption, text, details;
        wxString copyText; // what "Copy details" puts on the clipboard
        wxString logPath;  // empty: no "Open log"
        wxString copyLabel, copiedLabel, openLogLabel;
    };
    // Returns once dismissed; without its own box, a message box with the details.
    virtual void ShowFailure(const Failure& failure);

    // Hands `url` to the desktop's default browser; false when that failed.
    virtual bool OpenInDefaultBrowser(const wxString& url) = 0;

    // Monotonic milliseconds.
    virtual long long NowMillis() const;

    // Wall-clock seconds.
    virtual long long NowSeconds() const;

    static UiServices& Get();
    // Replaces the installed services; returns the previous ones.
    static std::unique_ptr<UiServices> Install(std::unique_ptr<UiServices> services);
};

// Used until something else is installed: messages go to the standard error
// stream, so console tools and tests never block on a box.
class ConsoleUiServices : public UiServices {
public:
    void ShowMessage(const wxString& caption, const wxString& text, Icon icon) override;
    bool OpenInDefaultBrowser(const wxString& url) override;
};
