#include "browserlib/frame/WindowPlacement.h"

#include <algorithm>
#include <wx/display.h>

wxRect WindowPlacement::Fitted(const wxRect& rect, const wxRect& workArea) {
    wxRect fitted = rect;
    fitted.width = std::max(1, std::min(rect.width, workArea.width));
    fitted.height = std::max(1, std::min(rect.height, workArea.height));
    fitted.x = std::max(workArea.x, std::min(rect.x, workArea.GetRight() + 1 - fitted.width));
    fitted.y = std::max(workArea.y, std::min(rect.y, workArea.GetBottom() + 1 - fitted.height));
    return fitted;
}

wxRect WindowPlacement::Cascaded(const wxRect& opener, const wxRect& workArea,
                                 const std::vector<wxPoint>& taken) {
    wxRect next(opener.x + kStep, opener.y + kStep, std::min(opener.width, workArea.width),
                std::min(opener.height, workArea.height));
    const auto fit = [&](wxRect& r) {
        // A window too wide (or tall) for any step gives up a step of its size
        // rather than cover the opener; any other goes back to the corner.
        if (r.GetRight() > workArea.GetRight()) {
            if (opener.width + kStep > workArea.width)
                r.width = workArea.GetRight() + 1 - std::max(r.x, workArea.x);
            else
                r.x = workArea.x;
        }
        if (r.GetBottom() > workArea.GetBottom()) {
            if (opener.height + kStep > workArea.height)
                r.height = workArea.GetBottom() + 1 - std::max(r.y, workArea.y);
            else
                r.y = workArea.y;
        }
        r = Fitted(r, workArea);
    };
    fit(next);
    const auto isTaken = [&](const wxRect& r) {
        if (r.GetTopLeft() == opener.GetTopLeft())
            return true;
        return std::find(taken.begin(), taken.end(), r.GetTopLeft()) != taken.end();
    };
    for (int tries = 0; tries < 16 && isTaken(next); ++tries) {
        next.x += kStep;
        next.y += kStep;
        fit(next);
    }
    return next;
}

wxSize WindowPlacement::DefaultSize(const wxRect& workArea) {
    return wxSize(std::min(1024, workArea.width), std::min(768, workArea.height));
}

wxRect WindowPlacement::Centred(const wxSize& size, const wxRect& workArea) {
    const wxRect rect(workArea.x + (workArea.width - size.x) / 2,
                      workArea.y + (workArea.height - size.y) / 2, size.x, size.y);
    return Fitted(rect, workArea);
}

wxRect WindowPlacement::WorkAreaAround(const wxRect& rect) {
    const int count = static_cast<int>(wxDisplay::GetCount());
    if (count <= 0)
        return wxRect(0, 0, 1024, 768);
    int index = wxDisplay::GetFromPoint(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
    if (index == wxNOT_FOUND)
        index = 0;
    const wxRect area = wxDisplay(static_cast<unsigned>(index)).GetClientArea();
    return area.IsEmpty() ? wxDisplay(static_cast<unsigned>(index)).GetGeometry() : area;
}
