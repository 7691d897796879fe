#pragma once

#include "toolkit/AccessRole.h"
#include "toolkit/MessageWindow.h"
#include "toolkit/Rect.h"

#include <QFont>
#include <QPoint>
#include <QString>
#include <cstdint>

class QPainter;
class RadioGroup;

// Key flags passed with mouse events.
enum KeyFlag : uint32_t {
    KeyLButton = 0x1,
    KeyRButton = 0x2,
    KeyShift = 0x4,
    KeyControl = 0x8,
    KeyMButton = 0x10,
};

// Event codes a control sends in lParam.
enum NotifyCode : intptr_t {
    CodePress = 1,
    CodeClick = 2,
    CodeValueChanged = 3,
    CodeHover = 4,
    CodeLeave = 5,
    CodeDoubleClick = 10,
    CodeRightClick = 11,
    CodeMoveOver = 12,
};

// A control is not a widget: it owns a rectangle of its window's client area, draws itself into
// the window's paint and reacts to the mouse events the window routes to it. It tells the window
// what happened by sending a message (normally its own id) with an event code in lParam; the
// handler runs before the control's mouse handler returns.
//
// The mouse handlers return true when the control's look changed and its rectangle needs a
// repaint; the caller does the repaint.
class CControlBase {
public:
    // The look the mouse gives a control. A control keeps its look while it is disabled.
    enum State { Normal = 0, Over = 1, Pressed = 2 };

    CControlBase(MessageWindow* parent, uint32_t id, const Rect& rect, const QString& text, bool visible,
                 bool shown, bool disabled, bool acceptsMouse);
    virtual ~CControlBase();
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;

    // `clip` is the part of the window being repainted.
    virtual void Draw(QPainter& painter, const Rect& clip) = 0;
    // Called by the window when it closes a popup opened from this control.
    virtual bool OnPopupClosed(int reason);
    // Neither repaints; the caller does.
    virtual void SetBounds(int left, int top, int right, int bottom);
    virtual Rect GetBounds() const;
    // Stores a different text (exact comparison) and repaints the control.
    virtual void SetText(const QString& newText);
    virtual QString GetText() const;
    virtual void SetVisible(bool on);
    virtual void SetShown(bool on);
    virtual bool OnMouseMove(uint32_t keyFlags, const QPoint& point);
    virtual bool OnLButtonDown(uint32_t keyFlags, const QPoint& point);
    virtual bool OnLButtonUp(uint32_t keyFlags, const QPoint& point);
    virtual bool OnRButtonUp(uint32_t keyFlags, const QPoint& point);
    virtual bool OnLButtonDblClk(uint32_t keyFlags, const QPoint& point);
    // Drops the control's images; it still draws its text and colours.
    virtual void ReleaseImages();
    // Drops the decoded pixels of images read from skin files; the next draw decodes them again.
    virtual void ForgetDecodedImages();

    // Replaces the control's font (height in pixels as the font settings mean it).
    void SetFont(int height, const QString& face);
    // Drawn and given mouse events only when both flags are set.
    bool isActive() const { return visible && shown; }
    void SetRect(const Rect& r) { SetBounds(r.left, r.top, r.right, r.bottom); }
    // A click on the control changes the window's layout, so the window repaints as a whole
    // rather than the control's rectangle.
    bool repaintsWindow() const { return wholeWindow; }
    // A disabled control is drawn but deaf to the mouse. Repaints when the state changes.
    bool isDisabled() const { return disabled; }
    void SetDisabled(bool on);
    void SetRepaintsWindow(bool on) { wholeWindow = on; }

    // Keyboard and screen reader. The role decides whether the control is a focus stop.
    virtual AccessRole accessRole() const;
    // What the control reads as: its caption by default; empty for a picture alone.
    virtual QString accessText() const { return text; }
    // Checked, selected or open.
    virtual bool accessChecked() const { return false; }
    // The value a slider or read-out shows; empty when it has none.
    virtual QString accessValue() const { return QString(); }
    // A slider's range and position; false for any other control.
    virtual bool accessRange(int& minimum, int& maximum, int& current) const;
    // A key other than Tab, Space and Enter while the control has the focus; true when it acted.
    virtual bool OnKey(int key);
    // The group the arrow keys move in, and the control's place in it; null outside a group.
    virtual const RadioGroup* radioGroup() const { return nullptr; }
    virtual int radioIndex() const { return -1; }

    uint32_t id;
    Rect rect; // client coordinates, already scaled
    bool visible;
    bool shown;
    bool acceptsMouse;
    int state = Normal;
    QString text;
    MessageWindow* parent;
    QFont font;
    // The name a screen reader reads where the control shows no words of its own.
    QString accessName;
    // Opens and closes a section of the window (its checked state is "expanded").
    bool expands = false;

protected:
    bool disabled;

    // Sends to the parent; 0 without one.
    intptr_t notify(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void repaint();
    // Stores a different value and repaints the control; an equal one changes nothing.
    template <class T, class V> void updateAndRepaint(T& field, const V& value) {
        if (field == value)
            return;
        field = value;
        repaint();
    }
    // Over with the mouse inside, Normal outside; a press held down stays Pressed. True when the
    // look changed.
    bool followMouse(const QPoint& point);
    // The look after a release: Over inside, Normal outside. True when the point is inside.
    bool releaseAt(const QPoint& point) {
        state = rect.contains(point) ? Over : Normal;
        return state == Over;
    }

private:
    bool wholeWindow = false;
};
