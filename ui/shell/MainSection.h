#pragma once

#include "toolkit/MessageTable.h"
#include "ui/shell/CVireoDlg.h"

#include <QString>
#include <cstdint>
#include <functional>

// What the sections of the main window share: the window they belong to, and reading and writing
// its controls by identifier. A section looks its controls up each time and keeps no pointers
// into the window's lists.
class MainSection {
public:
    explicit MainSection(CVireoDlg& owner) : window(owner) {}
    MainSection(const MainSection&) = delete;
    MainSection& operator=(const MainSection&) = delete;

    // A handler that runs `action` on a click (code 2) and ignores the other codes.
    static MessageTable::Handler onClick(std::function<void()> action);

protected:
    template <class T> T* control(uint32_t id) const { return dynamic_cast<T*>(window.FindControl(id)); }
    bool checked(uint32_t id) const;
    // A slider's position, 0 when there is no such slider.
    int position(uint32_t id) const;
    void setText(uint32_t id, const QString& text) const;
    // Whether the radio button is the checked one of its group; checks it (the caller repaints).
    bool selected(uint32_t radioId) const;
    void select(uint32_t radioId) const;

    CVireoDlg& window;
};
