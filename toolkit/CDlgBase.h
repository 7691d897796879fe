#pragma once

#include "base/Text.h"
#include "toolkit/CControlBase.h"
#include "toolkit/ColorRef.h"
#include "toolkit/MessageWindow.h"
#include "toolkit/SkinText.h"

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CImageButton;
class CStaticText;
class DialogAccess;
class CWndPopup;
class QLineEdit;

// A skinned window: a background, seven ordered lists of controls drawn in one paint, the mouse
// routed to the controls, and eleven popup slots. The main window (template 102) and every small
// dialog (template 152) derive from it. The main window keeps the table of open small dialogs
// that its tray's Exit closes.
//
// Mouse routing: the control under the mouse is the hot one (the last in list order when
// controls overlap); a press goes to it, and a press where there is no control drags the window.
// A release outside the pressed control leaves no hot control, so no click. Only list 0 takes
// right clicks.
class CDlgBase : public QDialog, public MessageWindow {
    Q_OBJECT

public:
    static constexpr int ListCount = 7;
    static constexpr int PopupSlotCount = 11;
    static constexpr int OpenDialogSlots = 10;
    using OpenDialogTable = std::array<QPointer<QWidget>, OpenDialogSlots>;
    static constexpr int MainWindowTemplate = 102;
    static constexpr int SmallDialogTemplate = 152;
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    // The standard controls of the small dialogs.
    static constexpr uint32_t CloseButtonId = 2004;
    static constexpr uint32_t OkButtonId = 2010;
    static constexpr uint32_t CancelButtonId = 2011;
    static constexpr uint32_t TitleTextId = 2012;
    static constexpr uint32_t MessageTextId = 2013;

    explicit CDlgBase(int templateId, QWidget* parent = nullptr);
    ~CDlgBase() override;

    // Sets the window up the first time it is shown (also by DoModal): icon, title, dialog font,
    // size, controls (CreateControls), centring on the parent or the screen, and for small
    // dialogs the entry in their main window's openDialogs(). Safe to call again.
    void Initialize();
    // Runs the dialog modally; IDOK or IDCANCEL (or what EndDialog was given).
    int DoModal();
    void EndDialog(int result);
    // How a small dialog ends: its controls drop their images first.
    void Finish(int result);
    // The OK button (2010) of a small dialog; the standard one finishes with IDOK.
    virtual void OnOK();
    // A notice with a language text: handed to `notice` when one is given (a window's own notices,
    // tests), else shown as a notice dialog over this one.
    void ShowLanguageNotice(Text text, const std::function<void(Text)>& notice = nullptr);

    // The window size: design size × uiScale (also the source size of the frame bitmap).
    void SetDesignSize(int designWidth, int designHeight);
    // The BMP frame the standard background draws over the background colour.
    void SetFrameFile(const QString& name) { frameFile = name; }
    // A background bitmap, for its mean colour and the stored background copy; nothing changes
    // when it cannot be loaded.
    void SetBackgroundResource(int number);
    void SetBackgroundFile(const QString& name);

    // Takes ownership; the list is kept within 0 … 6.
    template <class T> T* AddControl(int list, std::unique_ptr<T> control) {
        T* raw = control.get();
        controls[size_t(std::clamp(list, 0, ListCount - 1))].push_back(std::move(control));
        return raw;
    }
    // The first control with the id, searching list 0 to list 6; null when there is none.
    CControlBase* FindControl(uint32_t id) const;
    // Sets `visible` on every control of a list (sections open and close this way).
    void SetListVisible(int list, bool on);
    void ReleaseAllImages();
    // Every control drops what it decoded from skin files (ForgetDecodedImages).
    void ForgetDecodedImages();

    // The small dialogs listed in this main window, in the order they opened; a dialog that finds
    // all ten taken is not listed. Empty for a small dialog.
    const OpenDialogTable& openDialogs() const { return openDialogTable; }
    // The main window that lists this small dialog when it opens: by default the one its parents
    // lead to; for a dialog made without a parent.
    void SetListedIn(CDlgBase* mainWindow) { listedIn = mainWindow; }

    // Popup slots 0 … 10.
    CWndPopup* popup(int slot) const;
    void SetPopup(int slot, CWndPopup* popupWindow);
    // Tells the pressed control its popup went (when it is not the hot one), asks the popup to
    // close and empties the slot.
    void ClosePopupSlot(int slot);

    // Mouse routing in client coordinates; the window's mouse events call these.
    void RouteMouseMove(uint32_t keyFlags, const QPoint& point);
    void RouteMouseLeave();
    void RouteMouseHover();
    void RouteLButtonDown(uint32_t keyFlags, const QPoint& point);
    void RouteLButtonUp(uint32_t keyFlags, const QPoint& point);
    void RouteLButtonDblClk(uint32_t keyFlags, const QPoint& point);
    void RouteRButtonUp(uint32_t keyFlags, const QPoint& point);

    void invalidate(const Rect& rect) override;
    void invalidateAll() override;

    // Keyboard focus. The focus stops are the active, enabled controls whose role takes the focus,
    // and the dialog's edit boxes, in reading order: by focusColumn, then top to bottom, then left
    // to right.
    struct FocusStop {
        CControlBase* control = nullptr;
        QWidget* widget = nullptr;
        Rect rect;
    };
    std::vector<FocusStop> FocusStops() const;
    CControlBase* FocusControl() const { return focusControl; }
    // Gives a control (null: none) the focus; `byKeyboard` shows the focus mark.
    void SetFocusControl(CControlBase* control, bool byKeyboard = true);
    // Tab (forward) and Shift+Tab: the next stop, wrapping; false when there is none.
    bool MoveFocus(bool forward);
    // What a click on the control does, from the keyboard or a screen reader; false for a control
    // that is hidden or disabled.
    bool PressControl(CControlBase* control);
    // The arrow keys in a group: the neighbour in `step` direction is focused and pressed.
    bool MoveInGroup(CControlBase* control, int step);
    // A key for the focused control as a key press would give it (only once the keyboard has
    // moved the focus; Tab always); true when something acted.
    bool HandleFocusKey(int key, Qt::KeyboardModifiers modifiers);
    bool focusMarkShown() const { return keyboardUsed; }
    // The outline of the focus mark around a control.
    static Rect focusMarkRect(const Rect& control);
    // Columns of the reading order; one column by default.
    virtual int focusColumn(const Rect& rect) const;
    // What a screen reader reads for a control: its accessName, else its own words, else the text
    // beside it. Windows name their picture-only controls by overriding.
    virtual QString AccessibleName(const CControlBase& control) const;
    // The title a screen reader gives the window: its title text, else the window title.
    QString AccessibleTitle() const;
    DialogAccess& access() const { return *accessState; }

    // Paints the window (clipped to the area being repainted). The standard one fills the background colour,
    // copies the background copy, stretches the frame bitmap to the scaled design size and draws the
    // controls; the main window has its own.
    virtual void DrawBackground(QPainter& painter, const Rect& client);
    // Draws every visible and shown control that meets `clip` (and the area being repainted).
    virtual void DrawControls(QPainter& painter, const Rect& clip);
    // Creates the controls, once, with the client rectangle.
    virtual void CreateControls(const Rect& client) = 0;
    // Runs last in Initialize, when the controls exist and the window is placed.
    virtual void OnInitDialog();

    int templateId;
    int windowWidth = 2254;
    int windowHeight = 1480;
    ColorRef backgroundColor = 0xEFE2BA;
    QFont dialogFont;
    QIcon icon;
    int backgroundWidth = 100;
    int backgroundHeight = 100;
    QImage backgroundCopy;
    int frameBorder = 0;
    QString frameFile;
    int frameWidth = 0; // design size of the frame bitmap
    int frameHeight = 0;

    bool tracking = false;
    bool buttonDown = false;
    bool captured = false;
    Rect pressedRect = Rect::none();
    bool doubleClicked = false;
    QPoint lastPoint{-1, -1};

    std::array<std::vector<std::unique_ptr<CControlBase>>, ListCount> controls;
    CControlBase* hotControl = nullptr;
    CControlBase* pressedControl = nullptr;
    std::array<QPointer<CWndPopup>, PopupSlotCount> popupSlots;

    bool isSmallDialog() const { return templateId != MainWindowTemplate; }
    bool isInitialized() const { return initialized; }
    // A press on empty space: the window moves once the pointer is dragged.
    bool isMovingWindow() const { return windowMove != WindowMove::None; }

    void setVisible(bool visible) override;
    void done(int result) override;
    void reject() override;

protected:
    // The standard controls of the small dialogs, in list 0, placed in design units.
    // The close button (2004), 15 × 15 at `designLeft`, 4 from the top.
    CImageButton* AddCloseButton(int designLeft);
    // The heading (2012) in the title band, from (21, 11) to (designRight, 31).
    CStaticText* AddTitleText(const QString& heading, int designRight = 300,
                              uint32_t format = TextLeft | TextSingleLine | TextVCenter);
    // The message (2013), centred and broken into lines.
    CStaticText* AddMessageText(const Rect& design, const QString& message);
    // A small text button on the button2 images.
    CImageButton* AddTextButton(uint32_t id, const Rect& design, const QString& caption);
    // OK (2010) and Cancel (2011), with language texts 4 and 5.
    CImageButton* AddOkButton(const Rect& design);
    CImageButton* AddCancelButton(const Rect& design);
    // A plain edit box in the dialog's colours; its key presses go through this dialog's
    // eventFilter first.
    QLineEdit* AddLineEdit(const Rect& design, int maxLength);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Key presses reach the focused control before the dialog's own key handling.
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    static uint32_t keyFlags(const QMouseEvent* event);

private:
    void forgetHiddenHot();
    void findHot(uint32_t flags, const QPoint& point);
    void applyBackground(const QImage& bitmap, const QSize& size);
    void registerPopupWindow();
    void unregisterPopupWindow();
    void beginWindowMove(const QPoint& globalPoint);
    void dragWindow(const QPoint& globalPoint);
    void drawFocusMark(QPainter& painter) const;

    // The main window this dialog is (or will be) listed in.
    CDlgBase* listingWindow() const;

    bool initialized = false;
    // Armed by a press on empty space; the move starts only when the pointer has been dragged, so a
    // plain click never hands the window to the window manager after its button is already up.
    enum class WindowMove { None, Armed, Following };
    WindowMove windowMove = WindowMove::None;
    QPoint movePress;
    OpenDialogTable openDialogTable;
    QPointer<CDlgBase> listedIn;   // set by SetListedIn
    QPointer<CDlgBase> registered; // where registerPopupWindow put this dialog
    QPoint moveOffset;
    QTimer hoverTimer;
    CControlBase* focusControl = nullptr;
    bool keyboardUsed = false;
    bool pressingByKey = false; // a press from PressControl does not count as a click's focus
    std::unique_ptr<DialogAccess> accessState;
};
