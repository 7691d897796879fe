#pragma once

#include "toolkit/MessageTable.h"
#include "toolkit/Rect.h"

// What controls and popups need from the window they belong to: its message table, so they can
// notify it, and a way to have part of it repainted.
class MessageWindow {
public:
    virtual ~MessageWindow();

    intptr_t sendMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return messageTable.send(message, wParam, lParam);
    }
    void postMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        messageTable.post(message, wParam, lParam);
    }
    MessageTable& messages() { return messageTable; }

    // Schedules a repaint of a rectangle of the client area, or of all of it.
    virtual void invalidate(const Rect& rect) = 0;
    virtual void invalidateAll() = 0;

protected:
    MessageTable messageTable;
};
