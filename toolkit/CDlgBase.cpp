#include "toolkit/CDlgBase.h"

#include "base/LangText.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CWndPopup.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinFont.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

CDlgBase::CDlgBase(int templateId, QWidget* parent)
    : QDialog(parent, (templateId == MainWindowTemplate ? Qt::Window : Qt::Dialog) | Qt::FramelessWindowHint),
      templateId(templateId), accessState(std::make_unique<DialogAccess>(*this)) {
    DialogAccess::installFactory();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    hoverTimer.setSingleShot(true);
    hoverTimer.setInterval(1);
    connect(&hoverTimer, &QTimer::timeout, this, &CDlgBase::RouteMouseHover);

    if (isSmallDialog()) {
        const auto onClick = [](auto action) {
            return [action](uintptr_t, intptr_t code) -> intptr_t {
                if (code == CodeClick)
                    action();
                return 0;
            };
        };
        messageTable.add(CloseButtonId, onClick([this] { Finish(IDCANCEL); }));
        messageTable.add(CancelButtonId, onClick([this] { Finish(IDCANCEL); }));
        messageTable.add(OkButtonId, onClick([this] { OnOK(); }));
    }
}

CDlgBase::~CDlgBase() {
    unregisterPopupWindow();
    hotControl = nullptr;
    pressedControl = nullptr;
    focusControl = nullptr;
}

void CDlgBase::setVisible(bool visible) {
    if (visible && !initialized)
        Initialize();
    QDialog::setVisible(visible);
}

void CDlgBase::Initialize() {
    if (initialized)
        return;
    initialized = true;
    QImage iconImage;
    if (Skin::LoadPngResource(QStringLiteral("ICON"), SkinResource::AppIcon, iconImage))
        icon = QIcon(QPixmap::fromImage(iconImage));
    if (!icon.isNull())
        setWindowIcon(icon);
    setWindowTitle(QStringLiteral("Gaming Mouse"));
    dialogFont = SkinFont::dialogFont();
    resize(windowWidth, windowHeight);
    CreateControls({0, 0, width(), height()});

    QRect area;
    if (QWidget* owner = parentWidget())
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));

    if (isSmallDialog())
        registerPopupWindow();
    OnInitDialog();
}

void CDlgBase::OnInitDialog() {}

int CDlgBase::DoModal() {
    Initialize();
    return exec();
}

void CDlgBase::EndDialog(int result) {
    done(result);
}

void CDlgBase::Finish(int result) {
    ReleaseAllImages();
    EndDialog(result);
}

void CDlgBase::ShowLanguageNotice(Text text, const std::function<void(Text)>& notice) {
    if (notice) {
        notice(text);
        return;
    }
    const LangText& texts = LangText::instance();
    CAttentionDlg dialog(texts.text(Text::Notice), texts.text(text), this);
    dialog.DoModal();
}

void CDlgBase::OnOK() {
    Finish(IDOK);
}

CImageButton* CDlgBase::AddCloseButton(int designLeft) {
    auto* close =
        AddControl(0, std::make_unique<CImageButton>(
                          this, CloseButtonId, scaledRect(designLeft, 4, designLeft + 15, 19), TextCenter));
    close->SetImages(QLatin1String(SkinName::Close), QLatin1String(SkinName::CloseOver));
    close->accessName = LangText::instance().text(Text::AccessClose);
    return close;
}

CStaticText* CDlgBase::AddTitleText(const QString& heading, int designRight, uint32_t format) {
    return AddControl(0, std::make_unique<CStaticText>(this, TitleTextId, scaledRect(21, 11, designRight, 31),
                                                       0xFE9252, format, heading));
}

CStaticText* CDlgBase::AddMessageText(const Rect& design, const QString& message) {
    return AddControl(0,
                      std::make_unique<CStaticText>(this, MessageTextId, scaledRect(design), 0xB4B4B4,
                                                    TextCenter | TextWordBreak | TextEditControl, message));
}

CImageButton* CDlgBase::AddTextButton(uint32_t id, const Rect& design, const QString& caption) {
    auto* button =
        AddControl(0, std::make_unique<CImageButton>(this, id, scaledRect(design), TextCenter, caption));
    button->SetImages(QLatin1String(SkinName::SmallButton), QLatin1String(SkinName::SmallButtonOver));
    return button;
}

CImageButton* CDlgBase::AddOkButton(const Rect& design) {
    return AddTextButton(OkButtonId, design, LangText::instance().text(Text::Ok));
}

CImageButton* CDlgBase::AddCancelButton(const Rect& design) {
    return AddTextButton(CancelButtonId, design, LangText::instance().text(Text::Cancel));
}

QLineEdit* CDlgBase::AddLineEdit(const Rect& design, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setGeometry(scaledRect(design).toQRect());
    edit->setFont(SkinFont::uiFont());
    edit->setMaxLength(maxLength);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: #202020; color: #e6e6e6; "
                                       "border: 1px solid #5a5a5a; padding: 0 4px; }"));
    edit->installEventFilter(this);
    return edit;
}

void CDlgBase::done(int result) {
    windowMove = WindowMove::None;
    QDialog::done(result);
}

void CDlgBase::reject() {
    done(IDCANCEL);
}

CDlgBase* CDlgBase::listingWindow() const {
    if (listedIn)
        return listedIn;
    // The nearest dialog above this one knows its main window.
    for (QWidget* up = parentWidget(); up; up = up->parentWidget())
        if (auto* window = qobject_cast<CDlgBase*>(up))
            return window->isSmallDialog() ? window->listingWindow() : window;
    return nullptr;
}

void CDlgBase::registerPopupWindow() {
    CDlgBase* owner = listingWindow();
    if (!owner)
        return;
    OpenDialogTable& windows = owner->openDialogTable;
    for (QPointer<QWidget>& entry : windows) {
        if (entry == this)
            return;
    }
    for (QPointer<QWidget>& entry : windows) {
        if (entry.isNull()) {
            entry = this;
            registered = owner;
            return;
        }
    }
}

void CDlgBase::unregisterPopupWindow() {
    if (!registered)
        return;
    OpenDialogTable& windows = registered->openDialogTable;
    registered = nullptr;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].data() != this)
            continue;
        for (size_t j = i; j + 1 < windows.size(); ++j)
            windows[j] = windows[j + 1];
        windows.back() = nullptr;
        return;
    }
}

void CDlgBase::SetDesignSize(int designWidth, int designHeight) {
    windowWidth = scaled(designWidth);
    windowHeight = scaled(designHeight);
    frameWidth = designWidth;
    frameHeight = designHeight;
    if (initialized)
        resize(windowWidth, windowHeight);
}

void CDlgBase::SetBackgroundResource(int number) {
    QImage bitmap;
    QSize size;
    if (Skin::LoadBitmapResource(number, bitmap, size))
        applyBackground(bitmap, size);
}

void CDlgBase::SetBackgroundFile(const QString& name) {
    QImage bitmap;
    QSize size;
    if (Skin::LoadSkinBitmap(name, bitmap, size))
        applyBackground(bitmap, size);
}

void CDlgBase::applyBackground(const QImage& bitmap, const QSize& size) {
    // The region of the main window's background is what gets stretched, whatever the bitmap.
    static constexpr int SourceWidth = 1127;
    static constexpr int SourceHeight = 740;
    backgroundWidth = size.width();
    backgroundHeight = size.height();
    Skin::AverageColor(bitmap, size, backgroundColor);
    const bool larger = windowWidth > backgroundWidth || windowHeight > backgroundHeight;
    frameBorder = larger ? std::min({backgroundWidth, 100, backgroundHeight}) : 0;
    const QRect target(0, 0, scaled(backgroundWidth - frameBorder), scaled(backgroundHeight - frameBorder));
    if (bitmap.format() == QImage::Format_RGB32 && target == QRect(QPoint(0, 0), bitmap.size()) &&
        bitmap.size() == QSize(SourceWidth, SourceHeight)) {
        // Drawing it would copy it pixel for pixel: share the decoded picture instead.
        backgroundCopy = bitmap;
        return;
    }
    backgroundCopy = QImage(backgroundWidth, backgroundHeight, QImage::Format_RGB32);
    backgroundCopy.fill(Qt::black);
    QPainter painter(&backgroundCopy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(target), bitmap, QRectF(0, 0, SourceWidth, SourceHeight));
}

CControlBase* CDlgBase::FindControl(uint32_t id) const {
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control && control->id == id)
                return control.get();
    return nullptr;
}

void CDlgBase::SetListVisible(int list, bool on) {
    if (list < 0 || list >= ListCount)
        return;
    for (const auto& control : controls[size_t(list)])
        if (control)
            control->SetVisible(on);
}

void CDlgBase::ReleaseAllImages() {
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control)
                control->ReleaseImages();
}

void CDlgBase::ForgetDecodedImages() {
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control)
                control->ForgetDecodedImages();
}

CWndPopup* CDlgBase::popup(int slot) const {
    return slot >= 0 && slot < PopupSlotCount ? popupSlots[size_t(slot)].data() : nullptr;
}

void CDlgBase::SetPopup(int slot, CWndPopup* popupWindow) {
    if (slot >= 0 && slot < PopupSlotCount)
        popupSlots[size_t(slot)] = popupWindow;
}

void CDlgBase::ClosePopupSlot(int slot) {
    if (slot < 0 || slot >= PopupSlotCount)
        return;
    QPointer<CWndPopup> open = popupSlots[size_t(slot)];
    if (open) {
        if (pressedControl && pressedControl != hotControl) {
            pressedControl->OnPopupClosed(0);
            pressedControl = nullptr;
        }
        QMetaObject::invokeMethod(
            open.data(),
            [open] {
                if (open)
                    open->close();
            },
            Qt::QueuedConnection);
    }
    popupSlots[size_t(slot)] = nullptr;
}

void CDlgBase::invalidate(const Rect& rect) {
    if (!rect.isEmpty())
        update(rect.toQRect());
}

void CDlgBase::invalidateAll() {
    update();
}

void CDlgBase::forgetHiddenHot() {
    // A control hidden while the mouse was over it must not go on taking the mouse.
    if (hotControl && !hotControl->isActive())
        hotControl = nullptr;
}

void CDlgBase::findHot(uint32_t flags, const QPoint& point) {
    if (hotControl && hotControl->isActive())
        return;
    hotControl = nullptr;
    // A hot control hidden (or forgotten) under a mouse that has not moved since: find what is
    // under the mouse now.
    if (!buttonDown)
        RouteMouseMove(flags, point);
}

void CDlgBase::RouteMouseMove(uint32_t flags, const QPoint& point) {
    forgetHiddenHot();
    if (!tracking) {
        tracking = true;
        hoverTimer.start();
    }
    if (hotControl && hotControl->rect.contains(point)) {
        lastPoint = point;
        CControlBase* hot = hotControl;
        if (hot->OnMouseMove(flags, point))
            invalidate(hot->rect);
        return;
    }
    if (buttonDown)
        return;
    lastPoint = point;
    CControlBase* found = nullptr;
    for (const auto& list : controls) {
        for (const auto& control : list) {
            if (!control || !control->isActive() || !control->acceptsMouse)
                continue;
            if (control->OnMouseMove(flags, point))
                invalidate(control->rect);
            if (control->rect.contains(point))
                found = control.get();
        }
    }
    if (hotControl)
        invalidate(hotControl->rect);
    hotControl = found;
    if (found)
        invalidate(found->rect);
}

void CDlgBase::RouteMouseLeave() {
    tracking = false;
    hoverTimer.stop();
    if (buttonDown)
        return;
    if (!hotControl)
        return;
    lastPoint = {-1, -1};
    if (isMaximized()) {
        const QPoint cursor = mapFromGlobal(QCursor::pos());
        if (hotControl->rect.contains(cursor))
            lastPoint = cursor;
    }
    CControlBase* hot = hotControl;
    hot->OnMouseMove(0, lastPoint);
    invalidate(hot->rect);
    hotControl = nullptr;
}

void CDlgBase::RouteMouseHover() {
    forgetHiddenHot();
    if (!hotControl)
        return;
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    if (hotControl->rect.contains(cursor)) {
        lastPoint = cursor;
        invalidate(hotControl->rect);
    }
}

void CDlgBase::RouteLButtonDown(uint32_t flags, const QPoint& point) {
    findHot(flags, point);
    if (pressedControl && pressedControl != hotControl) {
        pressedControl->OnPopupClosed(0);
        pressedControl = nullptr;
    }
    if (hotControl && hotControl->rect.contains(point)) {
        CControlBase* hot = hotControl;
        if (!pressingByKey && takesFocus(hot->accessRole()) && !hot->isDisabled())
            SetFocusControl(hot, false);
        buttonDown = true;
        pressedControl = hot;
        pressedRect = hot->rect;
        if (hot->OnLButtonDown(flags, point))
            invalidate(hot->rect);
        captured = true;
        return;
    }
    pressedRect = Rect::none();
    windowMove = WindowMove::Armed;
    movePress = mapToGlobal(point);
}

void CDlgBase::RouteLButtonUp(uint32_t flags, const QPoint& point) {
    captured = false;
    buttonDown = false;
    if (hotControl) {
        CControlBase* hot = hotControl;
        if (hot->OnLButtonUp(flags, point) && hotControl) {
            if (hotControl->repaintsWindow())
                invalidateAll();
            else
                invalidate(hotControl->rect);
        }
        if (pressedRect.contains(point) || (hotControl && hotControl->rect.contains(point))) {
            lastPoint = point;
        } else {
            lastPoint = {-1, -1};
            hotControl = nullptr;
        }
    }
    doubleClicked = false;
    pressedRect = Rect::none();
}

void CDlgBase::RouteLButtonDblClk(uint32_t flags, const QPoint& point) {
    findHot(flags, point);
    if (!hotControl)
        return;
    bool onControl = false;
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control && control->isActive() && control->rect.contains(point))
                onControl = true;
    if (!onControl)
        return;
    CControlBase* hot = hotControl;
    if (hot->OnLButtonDblClk(flags, point))
        invalidate(hot->rect);
    pressedRect = hot->rect;
    doubleClicked = true;
}

void CDlgBase::RouteRButtonUp(uint32_t flags, const QPoint& point) {
    findHot(flags, point);
    if (!hotControl)
        return;
    bool inListZero = false;
    bool hotInListZero = false;
    for (const auto& control : controls[0]) {
        if (!control || !control->isActive())
            continue;
        inListZero = inListZero || control->rect.contains(point);
        hotInListZero = hotInListZero || control.get() == hotControl;
    }
    if (!inListZero || !hotInListZero)
        return;
    CControlBase* hot = hotControl;
    if (hot->OnRButtonUp(flags, point))
        invalidate(hot->rect);
}

void CDlgBase::beginWindowMove(const QPoint& globalPoint) {
    if (QWindow* handle = window()->windowHandle(); handle && handle->startSystemMove()) {
        windowMove = WindowMove::None;
        return;
    }
    // Platforms without a system move (and the tests' offscreen one): follow the mouse ourselves.
    windowMove = WindowMove::Following;
    moveOffset = globalPoint - frameGeometry().topLeft();
}

void CDlgBase::dragWindow(const QPoint& globalPoint) {
    if (windowMove == WindowMove::Armed) {
        if ((globalPoint - movePress).manhattanLength() < QApplication::startDragDistance())
            return;
        beginWindowMove(movePress);
    }
    if (windowMove == WindowMove::Following)
        move(globalPoint - moveOffset);
}

void CDlgBase::DrawBackground(QPainter& painter, const Rect& client) {
    painter.fillRect(client.toQRect(), toQColor(backgroundColor));
    if (!backgroundCopy.isNull())
        painter.drawImage(QPoint(0, 0), backgroundCopy,
                          QRect(0, 0, std::min(backgroundCopy.width(), client.width()),
                                std::min(backgroundCopy.height(), client.height())));
    if (!frameFile.isEmpty() && frameWidth > 0 && frameHeight > 0) {
        QImage frame;
        QSize size;
        if (Skin::LoadSkinBitmap(frameFile, frame, size))
            Skin::DrawSkinImage(painter, frame, {0, 0, scaled(frameWidth), scaled(frameHeight)}, 0,
                                frameWidth, frameHeight);
    }
    DrawControls(painter, client);
}

void CDlgBase::DrawControls(QPainter& painter, const Rect& clip) {
    Rect area = clip;
    if (painter.hasClipping()) {
        const Rect painted = Rect::fromQRect(painter.clipBoundingRect().toAlignedRect());
        area = {std::max(area.left, painted.left), std::max(area.top, painted.top),
                std::min(area.right, painted.right), std::min(area.bottom, painted.bottom)};
    }
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control && control->isActive() && control->rect.intersects(area))
                control->Draw(painter, area);
    drawFocusMark(painter);
}

void CDlgBase::paintEvent(QPaintEvent* event) {
    // No early return while minimised: a window manager that ignores the request (or none) keeps
    // the window on the screen, and Qt still sends paints that must draw it.
    // Straight into the window's backing store, which already double-buffers: a second buffer
    // cost a window-sized allocation and a full copy on every paint.
    QPainter painter(this);
    painter.setClipRegion(event->region());
    DrawBackground(painter, {0, 0, width(), height()});
    // Whatever changed a control repainted it: tell a screen reader what it now reads.
    accessState->announceChanges();
}

uint32_t CDlgBase::keyFlags(const QMouseEvent* event) {
    uint32_t flags = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton)
        flags |= KeyLButton;
    if (buttons & Qt::RightButton)
        flags |= KeyRButton;
    if (buttons & Qt::MiddleButton)
        flags |= KeyMButton;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= KeyShift;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= KeyControl;
    return flags;
}

void CDlgBase::mouseMoveEvent(QMouseEvent* event) {
    if (windowMove != WindowMove::None) {
        if (event->buttons() & Qt::LeftButton) {
            dragWindow(event->globalPosition().toPoint());
            return;
        }
        windowMove = WindowMove::None;
    }
    RouteMouseMove(keyFlags(event), event->position().toPoint());
}

void CDlgBase::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        RouteLButtonDown(keyFlags(event), event->position().toPoint());
}

void CDlgBase::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (windowMove != WindowMove::None) {
            windowMove = WindowMove::None;
            return;
        }
        RouteLButtonUp(keyFlags(event), event->position().toPoint());
    } else if (event->button() == Qt::RightButton) {
        RouteRButtonUp(keyFlags(event), event->position().toPoint());
    }
}

void CDlgBase::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        RouteLButtonDblClk(keyFlags(event), event->position().toPoint());
}

void CDlgBase::leaveEvent(QEvent* event) {
    RouteMouseLeave();
    QDialog::leaveEvent(event);
}

// ---- Keyboard focus ------------------------------------------------------------------------------

int CDlgBase::focusColumn(const Rect&) const {
    return 0;
}

std::vector<CDlgBase::FocusStop> CDlgBase::FocusStops() const {
    std::vector<FocusStop> stops;
    for (const auto& list : controls)
        for (const auto& control : list)
            if (control && control->isActive() && !control->isDisabled() && control->acceptsMouse &&
                takesFocus(control->accessRole()))
                stops.push_back({control.get(), nullptr, control->rect});
    for (QLineEdit* edit : findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        // An edit box parked beside the window (the macro manager's loop count) is out of sight.
        if (edit->isVisible() && edit->isEnabled() && rect().intersects(edit->geometry()))
            stops.push_back({nullptr, edit, Rect::fromQRect(edit->geometry())});
    std::stable_sort(stops.begin(), stops.end(), [this](const FocusStop& a, const FocusStop& b) {
        const int ca = focusColumn(a.rect), cb = focusColumn(b.rect);
        if (ca != cb)
            return ca < cb;
        if (a.rect.top != b.rect.top)
            return a.rect.top < b.rect.top;
        return a.rect.left < b.rect.left;
    });
    return stops;
}

Rect CDlgBase::focusMarkRect(const Rect& control) {
    const int margin = std::max(2, scaled(2));
    return {control.left - margin, control.top - margin, control.right + margin, control.bottom + margin};
}

void CDlgBase::SetFocusControl(CControlBase* control, bool byKeyboard) {
    const bool markWasShown = keyboardUsed;
    keyboardUsed = byKeyboard;
    if (control == focusControl && markWasShown == byKeyboard)
        return;
    // Only a mark that is or was drawn needs a repaint; a click alone paints nothing more.
    if (focusControl && markWasShown)
        invalidate(focusMarkRect(focusControl->rect));
    focusControl = control;
    if (control) {
        if (byKeyboard) {
            invalidate(focusMarkRect(control->rect));
            // Keys go to the dialog, not to an edit box that had them; a click leaves the typing
            // where it was.
            if (QWidget* had = focusWidget(); had && had != this)
                setFocus(Qt::OtherFocusReason);
        }
    }
    accessState->focusChanged(control);
}

bool CDlgBase::MoveFocus(bool forward) {
    std::vector<FocusStop> stops = FocusStops();
    if (stops.empty())
        return false;
    QWidget* edit = focusWidget();
    if (edit == this)
        edit = nullptr;
    // Where the focus is now; a control that went away since still marks the place.
    int at = -1;
    for (size_t i = 0; i < stops.size(); ++i)
        if ((edit && stops[i].widget == edit) || (!edit && focusControl && stops[i].control == focusControl))
            at = int(i);
    int next;
    if (at >= 0) {
        next = (at + (forward ? 1 : int(stops.size()) - 1)) % int(stops.size());
    } else if (focusControl && !edit) {
        const FocusStop gone{focusControl, nullptr, focusControl->rect};
        const int column = focusColumn(gone.rect);
        next = forward ? 0 : int(stops.size()) - 1;
        for (size_t i = 0; i < stops.size(); ++i) {
            const int c = focusColumn(stops[i].rect);
            const bool after =
                c > column ||
                (c == column && (stops[i].rect.top > gone.rect.top || (stops[i].rect.top == gone.rect.top &&
                                                                       stops[i].rect.left > gone.rect.left)));
            if (after) {
                next = forward ? int(i) : (int(i) + int(stops.size()) - 1) % int(stops.size());
                break;
            }
        }
    } else {
        next = forward ? 0 : int(stops.size()) - 1;
    }
    const FocusStop& target = stops[size_t(next)];
    if (target.widget) {
        SetFocusControl(nullptr, true);
        target.widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    } else {
        SetFocusControl(target.control, true);
    }
    return true;
}

bool CDlgBase::PressControl(CControlBase* control) {
    if (!control || !control->isActive() || control->isDisabled())
        return false;
    // The click the mouse would make in the middle of the control, whatever is under the pointer.
    const QPoint point = control->rect.toQRect().center();
    hotControl = control;
    pressingByKey = true;
    RouteLButtonDown(0, point);
    pressingByKey = false;
    if (hotControl == control)
        RouteLButtonUp(0, point);
    // The pointer is not there: the control drops the look of a pointer over it.
    if (hotControl == control && !control->rect.contains(mapFromGlobal(QCursor::pos()))) {
        control->OnMouseMove(0, QPoint(-1, -1));
        hotControl = nullptr;
        lastPoint = {-1, -1};
        invalidate(control->rect);
    }
    accessState->announceChanges();
    return true;
}

bool CDlgBase::MoveInGroup(CControlBase* control, int step) {
    const RadioGroup* group = control ? control->radioGroup() : nullptr;
    if (!group)
        return false;
    std::vector<CControlBase*> members;
    for (const FocusStop& stop : FocusStops())
        if (stop.control && stop.control->radioGroup() == group)
            members.push_back(stop.control);
    std::sort(members.begin(), members.end(),
              [](const CControlBase* a, const CControlBase* b) { return a->radioIndex() < b->radioIndex(); });
    const auto at = std::find(members.begin(), members.end(), control);
    if (at == members.end() || members.size() < 2)
        return true;
    const int count = int(members.size());
    CControlBase* next = members[size_t((int(at - members.begin()) + step + count) % count)];
    SetFocusControl(next, true);
    PressControl(next);
    return true;
}

bool CDlgBase::HandleFocusKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        const bool forward = key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier);
        return MoveFocus(forward);
    }
    CControlBase* control = focusControl;
    if (!control || !control->isActive() || control->isDisabled())
        return false;
    // A control the mouse clicked takes keys only once the keyboard has moved the focus: Enter and
    // Esc after a click stay the dialog's.
    if (!keyboardUsed)
        return false;
    if (control->OnKey(key)) {
        accessState->announceChanges();
        return true;
    }
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (control->accessRole() == AccessRole::Slider)
            return false;
        return PressControl(control);
    case Qt::Key_Left:
    case Qt::Key_Up:
        return MoveInGroup(control, -1);
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (key == Qt::Key_Down && control->accessRole() == AccessRole::ComboBox)
            return PressControl(control);
        return MoveInGroup(control, 1);
    default:
        return false;
    }
}

bool CDlgBase::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandleFocusKey(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

bool CDlgBase::focusNextPrevChild(bool next) {
    // Tab from an edit box comes here: it moves along the same stops.
    return MoveFocus(next) || QDialog::focusNextPrevChild(next);
}

void CDlgBase::drawFocusMark(QPainter& painter) const {
    if (!keyboardUsed || !focusControl || !focusControl->isActive())
        return;
    // The skin's accent (the title colour), dotted, thicker at the larger scales.
    QPen pen(toQColor(0xFE9252), std::max(1, scaled(1)), Qt::DotLine);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const Rect r = focusMarkRect(focusControl->rect);
    painter.drawRect(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
    painter.restore();
}

QString CDlgBase::AccessibleName(const CControlBase& control) const {
    if (!control.accessName.isEmpty())
        return control.accessName;
    const QString own = control.accessText().trimmed();
    if (!own.isEmpty())
        return own;
    return accessState->labelBeside(control);
}

QString CDlgBase::AccessibleTitle() const {
    if (const CControlBase* title = FindControl(TitleTextId); title && !title->GetText().trimmed().isEmpty())
        return title->GetText().trimmed();
    return windowTitle();
}
