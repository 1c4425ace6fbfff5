#include "browserlib/frame/BrowserKeys.h"

#include <algorithm>
#include <iterator>

namespace {
const int kZoomSteps[] = {30, 50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
}

BrowserKeys::Action BrowserKeys::ActionFor(const wxString& name, unsigned modifiers, bool finding) {
    const bool ctrl = modifiers & Ctrl, alt = modifiers & Alt, shift = modifiers & Shift;
    if (name == wxS("f5") && !alt)
        return Action::Reload;
    if (ctrl && !alt && name == wxS("r"))
        return Action::Reload;
    if (alt && !ctrl && name == wxS("left"))
        return Action::Back;
    if (alt && !ctrl && name == wxS("right"))
        return Action::Forward;
    if (ctrl && !alt) {
        // Ctrl and "+" is Ctrl+Shift+"=" on most layouts.
        if (name == wxS("plus") || name == wxS("equal") || name == wxS("kp_add"))
            return Action::ZoomIn;
        if (name == wxS("minus") || name == wxS("kp_subtract") || name == wxS("underscore"))
            return Action::ZoomOut;
        if (name == wxS("0") || name == wxS("kp_0") || name == wxS("kp_insert"))
            return Action::ZoomReset;
        if (name == wxS("f"))
            return Action::Find;
        if (name == wxS("g"))
            return shift ? Action::FindPrevious : Action::FindNext;
    }
    if (name == wxS("f3") && !ctrl && !alt)
        return shift ? Action::FindPrevious : Action::FindNext;
    if (name == wxS("escape") && finding && !ctrl && !alt)
        return Action::EndFind;
    return Action::None;
}

int BrowserKeys::NextZoom(int percent, int step) {
    if (step > 0) {
        const int* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), percent);
        return next == std::end(kZoomSteps) ? kZoomSteps[std::size(kZoomSteps) - 1] : *next;
    }
    if (step < 0) {
        const int* at = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), percent);
        return at == std::begin(kZoomSteps) ? kZoomSteps[0] : *(at - 1);
    }
    return 100;
}
