#include "navigation/WindowMemory.h"

#include <algorithm>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

namespace {
bool Number(const wxString& text, long* value) {
    return !text.empty() && text.ToLong(value);
}
} // namespace

WindowMemory::State WindowMemory::Parse(const wxString& text) {
    State state;
    long x = 0, y = 0, width = 0, height = 0, zoom = 100;
    int found = 0;
    wxStringTokenizer lines(text, wxS("\n"));
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken().Trim().Trim(false);
        const wxString name = line.BeforeFirst(wxS('='));
        const wxString value = line.AfterFirst(wxS('='));
        long number = 0;
        if (name == wxS("maximized")) {
            state.maximized = value == wxS("true");
        } else if (name == wxS("zoom") && Number(value, &number)) {
            zoom = number;
        } else if (Number(value, &number)) {
            if (name == wxS("x"))
                x = number, found |= 1;
            else if (name == wxS("y"))
                y = number, found |= 2;
            else if (name == wxS("width"))
                width = number, found |= 4;
            else if (name == wxS("height"))
                height = number, found |= 8;
        }
    }
    // A size the toolkit could not give a window is no memory of one.
    if (found != 15 || width < 100 || height < 100 || width > 100000 || height > 100000)
        return State();
    state.valid = true;
    state.rect = wxRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                        static_cast<int>(height));
    state.zoomPercent = static_cast<int>(std::clamp(zoom, 30L, 300L));
    return state;
}

wxString WindowMemory::Format(const State& state) {
    return wxString::Format(wxS("x=%d\ny=%d\nwidth=%d\nheight=%d\nmaximized=%s\nzoom=%d\n"),
                            state.rect.x, state.rect.y, state.rect.width, state.rect.height,
                            state.maximized ? wxS("true") : wxS("false"), state.zoomPercent);
}

wxRect WindowMemory::Clamp(const wxRect& rect, const std::vector<wxRect>& workAreas) {
    if (workAreas.empty())
        return rect;
    const wxRect* best = &workAreas.front();
    long bestOverlap = -1;
    for (const wxRect& area : workAreas) {
        const wxRect overlap = area.Intersect(rect);
        const long size = overlap.IsEmpty() ? 0 : static_cast<long>(overlap.width) * overlap.height;
        const bool grabbable = overlap.width >= kGrab && overlap.height >= kGrab;
        if (grabbable && size > bestOverlap) {
            best = &area;
            bestOverlap = size;
        }
    }
    wxRect placed = rect;
    placed.width = std::min(placed.width, best->width);
    placed.height = std::min(placed.height, best->height);
    if (bestOverlap < 0) {
        // Nowhere to be grabbed (a screen that is gone): the middle of the first.
        placed.x = best->x + (best->width - placed.width) / 2;
        placed.y = best->y + (best->height - placed.height) / 2;
        return placed;
    }
    placed.x = std::clamp(placed.x, best->x, best->GetRight() + 1 - placed.width);
    placed.y = std::clamp(placed.y, best->y, best->GetBottom() + 1 - placed.height);
    return placed;
}

wxString WindowMemory::FileIn(const wxString& appDataDirectory) {
    wxFileName file(appDataDirectory.empty() ? wxString(wxS("./")) : appDataDirectory,
                    wxS("window-state"));
    return file.GetFullPath();
}

WindowMemory::State WindowMemory::Load(const wxString& path) {
    if (!wxFileName::FileExists(path))
        return State();
    wxLogNull quiet;
    wxFFile file(path, wxS("r"));
    wxString text;
    if (!file.IsOpened() || file.Length() > 4096 || !file.ReadAll(&text))
        return State();
    return Parse(text);
}

bool WindowMemory::Save(const wxString& path, const State& state) {
    wxLogNull quiet;
    const wxString temporary = path + wxS(".tmp");
    bool written = false;
    {
        wxFFile file(temporary, wxS("w"));
        written = file.IsOpened() && file.Write(Format(state)) && file.Close();
    }
    if (!written || !wxRenameFile(temporary, path, true)) {
        wxRemoveFile(temporary);
        return false;
    }
    return true;
}
