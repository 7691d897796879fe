#include "ui/buttons/CKeyboardHook.h"

#include "buttons/VkMapping.h"
#include "toolkit/MessageWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <chrono>

namespace {
CKeyboardHook* running = nullptr;

uint32_t steadyMilliseconds() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Where the native scan code is the kernel key code + 8 and so names the key's position.
bool scanCodesArePositional() {
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb" || platform.startsWith(u"wayland");
}
} // namespace

CKeyboardHook::CKeyboardHook() : clock(steadyMilliseconds) {}

CKeyboardHook::~CKeyboardHook() {
    StopHook();
}

int CKeyboardHook::StartHook(MessageWindow* window) {
    if (!window)
        return 0;
    if (running && running != this)
        running->StopHook();
    if (!target) {
        positionalScanCodes = scanCodesArePositional();
        QCoreApplication::instance()->installEventFilter(this);
    }
    target = window;
    running = this;
    return 1;
}

int CKeyboardHook::StopHook() {
    if (!target)
        return 0;
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    target = nullptr;
    if (running == this)
        running = nullptr;
    return 1;
}

void CKeyboardHook::SetClock(Clock source) {
    clock = source ? std::move(source) : Clock(steadyMilliseconds);
}

bool CKeyboardHook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    // Accepted, so a shortcut stands back and the key does not travel on to the parent widgets.
    event->accept();
    if (type == QEvent::ShortcutOverride)
        return true;

    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool release = type == QEvent::KeyRelease;
    // Auto-repeat comes as release and press pairs here; only the presses are reports of the key.
    if (release && key->isAutoRepeat())
        return true;
    const uint8_t vk =
        VkMapping::virtualKey(key->key(), positionalScanCodes ? key->nativeScanCode() : 0, key->modifiers());
    if (vk == 0)
        return true;
    const intptr_t lParam = intptr_t(clock() & 0x7FFFFFFFu) | (release ? ReleaseBit : 0);
    // The receiver may stop or delete this hook; nothing of it is used after the send.
    target->sendMessage(KeyMessage, vk, lParam);
    return true;
}
