#include "ui/shell/COSDDialog.h"

#include "base/UiFont.h"
#include "features/SensorOptions.h"
#include "toolkit/DialogAccess.h"
#include "toolkit/SkinFont.h"
#include "toolkit/UiScale.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

COSDDialog::COSDDialog() : QWidget(nullptr, windowFlagsForDisplay()) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // On X (and XWayland) the window bypasses the window manager, which therefore never focuses or
    // places it; its notification type keeps compositors such as sway from focusing it as well.
    setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
    // A screen reader reads a notification out as it appears.
    DialogAccess::exposeAsNotification(this);
    setWindowOpacity(Opacity);
    resize(scaled(DesignWidth), scaled(DesignHeight));
}

void COSDDialog::SetLines(const QString& newLevel, const QString& newValue, const QString& newRate) {
    level = newLevel;
    value = newValue;
    rate = newRate;
    update();
}

Qt::WindowFlags COSDDialog::windowFlagsForDisplay() {
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
           Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint;
}

void COSDDialog::PlaceOnScreen() {
    resize(scaled(DesignWidth), scaled(DesignHeight));
    if (QScreen* screen = pointerScreen()) {
        setScreen(screen);
        const QRect area = screen->availableGeometry();
        move(area.right() + 1 - width(), area.bottom() + 1 - height());
    }
}

QString COSDDialog::levelLine(int slot) {
    return QStringLiteral("DPI-%1").arg(slot + 1);
}

QString COSDDialog::rateLine(int pollingIndex) {
    const QString name = SensorOptions::reportedRateName(pollingIndex);
    return name.isEmpty() ? SensorOptions::reportedRateName(SensorOptions::RateCount - 1) : name;
}

int COSDDialog::valueX(int length, const QString& face) {
    if (face == UiFont::chineseFace())
        return length == 5 ? 34 : length == 4 ? 44 : 50;
    return length == 5 ? 16 : length == 4 ? 34 : 50;
}

int COSDDialog::rateX(const QString& rateText) {
    return rateText.size() == 6 ? 50 : 57;
}

void COSDDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor fill(164, 73, 164);
    painter.fillRect(rect(), fill);
    painter.setPen(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(fill);
    const QString face = UiFont::instance().UiFontFace;
    QFont small = SkinFont::make(scaled(24), face);

    small.setBold(true);
    QFont large = SkinFont::make(scaled(48), face);

    // Text is placed by its top edge, as the cells of the original drawing are.
    const auto draw = [&](const QFont& font, int x, int y, const QString& text) {
        painter.setFont(font);
        const QFontMetrics metrics(font);
        painter.drawText(QPoint(scaled(x), scaled(y) + metrics.ascent()), text);
    };
    draw(small, 58, 20, level);
    draw(large, valueX(int(value.size()), face), 44, value);
    draw(small, rateX(rate), 92, rate);
}
