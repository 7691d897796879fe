#include "toolkit/CProgressBarDlg.h"

#include "base/UiFont.h"
#include "toolkit/CStaticText.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinNames.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QPainter>

namespace {
constexpr int DesignWidth = 429;
constexpr int DesignHeight = 140;
constexpr int BarTop = 66;
constexpr int BarHeight = 12;
} // namespace

CProgressBarDlg::CProgressBarDlg(const QString& title, const QString& secondText, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), title(title), secondText(secondText) {
    SetDesignSize(DesignWidth, DesignHeight);
    messageTable.addTimer(FillTimer, [this] { fill(); });
    messageTable.addTimer(CloseTimer, [this] { finish(); });
}

void CProgressBarDlg::CreateControls(const Rect&) {
    auto* caption = AddControl(0, std::make_unique<CStaticText>(this, TitleTextId, scaledRect(10, 3, 260, 23),
                                                                0xBEBEBE, TextLeft, title));
    caption->SetFont(scaled(18), UiFont::instance().UiFontFace);
    auto* rest = AddControl(0, std::make_unique<CStaticText>(this, LeftTextId, scaledRect(10, 90, 419, 110),
                                                             0xBEBEBE, TextLeft, QString()));
    rest->SetFont(scaled(14), UiFont::instance().UiFontFace);
}

void CProgressBarDlg::followWork(std::function<int()> leftNow, std::function<QString(int)> leftText) {
    work = std::move(leftNow);
    describeLeft = std::move(leftText);
    mostLeft = 0;
    takeWork();
}

void CProgressBarDlg::takeWork() {
    if (!work)
        return;
    left = std::max(0, work());
    mostLeft = std::max(mostLeft, left);
    if (CControlBase* rest = FindControl(LeftTextId)) {
        rest->SetText(left > 0 && describeLeft ? describeLeft(left) : QString());
        invalidate(rest->rect);
    }
}

void CProgressBarDlg::OnInitDialog() {
    if (backImage.isNull())
        Skin::LoadSkinImage(QLatin1String(SkinName::ProgressFrame), backImage, imageWidth, imageHeight);
    if (fillImage.isNull())
        Skin::LoadSkinImage(QLatin1String(SkinName::FilledProgressFrame), fillImage, imageWidth, imageHeight);
    progress = 0;
    ticks = 0;
    messageTable.setTimer(FillTimer, FillIntervalMs);
}

Rect CProgressBarDlg::barRect() const {
    return {0, scaled(BarTop), width(), scaled(BarTop + BarHeight)};
}

void CProgressBarDlg::fill() {
    ++ticks;
    takeWork();
    // The bar shows the slower of the half-second fill and the work done.
    const int timed = std::min(100, ticks * 2);
    const int done = mostLeft > 0 ? (mostLeft - left) * 100 / mostLeft : 100;
    progress = std::min(timed, done);
    invalidate(barRect());
    if (progress >= 100) {
        messageTable.killTimer(FillTimer);
        messageTable.setTimer(CloseTimer, CloseDelayMs, MessageTable::Repeat::SingleShot);
    }
}

void CProgressBarDlg::finish() {
    messageTable.killTimer(CloseTimer);
    backImage = QImage();
    fillImage = QImage();
    Finish(IDOK);
}

void CProgressBarDlg::DrawBackground(QPainter& painter, const Rect& client) {
    painter.fillRect(client.toQRect(), toQColor(backgroundColor));
    Skin::DrawSkinImage(painter, backImage, client, 0, DesignWidth, DesignHeight);
    const int filled = progress * DesignWidth / 100;
    Skin::DrawSkinImage(painter, fillImage, {0, scaled(BarTop), scaled(filled), scaled(BarTop + BarHeight)},
                        QRect(0, BarTop, filled, BarHeight));
    DrawControls(painter, client);
}
