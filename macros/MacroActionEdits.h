#pragma once

#include "macros/MacroKey.h"

#include <cstdint>

// The action list's editing commands on one macro, without the dialogs: the caller opens the
// delay or key dialog where a command needs a value, then completes or undoes the command.
// Command actions are counted here, never recounted from the actions.
class MacroActionEdits {
public:
    static constexpr int CommandLimit = 168;
    // A click or key insert adds two command actions.
    static constexpr int InsertLimit = CommandLimit - 2;
    static constexpr uint8_t ClickDelayMs = 50;
    static constexpr uint8_t InsertedDelayMs = 100;
    static constexpr uint8_t PlaceholderKey = 0x41;

    enum Command { LeftClick = 0, RightClick = 1, MiddleClick = 2, Delay = 3, Key = 4 };

    // Where an insert goes: after the selected action, or at the end without a selection.
    static uint32_t insertPosition(const MacroKey& macro, int selected);

    // Removes the selected action; returns the selection afterwards (-1 when nothing remains or
    // nothing was selected). The next action takes the place; the last one passes it back.
    static int deleteAction(MacroKey& macro, int selected);

    // Press, 50 ms, release of a mouse button (or of the placeholder key for Key) at p. False,
    // with nothing changed, when the command count or the macro's room does not allow it. A
    // click counts its two command actions at once; a key waits for completeKey.
    static bool insertPressRelease(MacroKey& macro, uint32_t p, Command command);
    // The key dialog's answer on the placeholder inserted at p: OK stores the code in press and
    // release and counts them; cancel takes the three actions out again.
    static void completeKey(MacroKey& macro, uint32_t p, bool ok, const MacroAction& chosen);

    // The delay the delay command edits: the one just before p when there is one (returns
    // p - 1), else a new 100 ms delay inserted at p (returns p), or -1 when the macro is full.
    static int delayTarget(MacroKey& macro, uint32_t p, bool& inserted);
};
