#include "toolkit/CAttentionDlg.h"

#include "toolkit/Skin.h"
#include "toolkit/SkinFont.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {
constexpr int Width = 319;
constexpr int Height = 102;
const QString FrameFile = QLatin1String(SkinName::WarningFrame);
constexpr int MessageLineHeight = 20;

// Design pixels a message needs beyond the one line the notice has room for: measured in the font
// and at the width the message is drawn with, so that no scale loses its last line.
int extraHeight(const QString& message) {
    const QFontMetrics metrics(SkinFont::uiFont());
    const int width = scaledRect(8, 0, Width - 8, 0).width();
    const int needed =
        metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignHCenter, message)
            .height();
    const int design = int(std::ceil(needed / double(uiScale())));
    return design > MessageLineHeight ? design - MessageLineHeight + 4 : 0;
}
} // namespace

CAttentionDlg::CAttentionDlg(const QString& heading, const QString& message, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), heading(heading), message(message), extra(extraHeight(message)) {
    SetDesignSize(Width, Height + extra);
    SetFrameFile(FrameFile);
}

void CAttentionDlg::CreateControls(const Rect&) {
    AddCloseButton(300);
    AddOkButton({240, 70 + extra, 309, 90 + extra});
    AddTitleText(heading, 175, TextLeft);
    // A long message (a path and its remedy) wraps onto as many lines as it needs.
    AddMessageText({extra ? 8 : 0, 40, Width - (extra ? 8 : 0), 60 + extra}, message);
}

void CAttentionDlg::DrawBackground(QPainter& painter, const Rect& client) {
    if (extra == 0) {
        CDlgBase::DrawBackground(painter, client);
        return;
    }
    // A taller notice stretches one row of the frame between its top and its bottom.
    painter.fillRect(client.toQRect(), toQColor(backgroundColor));
    QImage frame;
    QSize size;
    if (Skin::LoadSkinBitmap(FrameFile, frame, size)) {
        constexpr int split = 60;
        Skin::DrawSkinImage(painter, frame, scaledRect(0, 0, Width, split), QRect(0, 0, Width, split));
        Skin::DrawSkinImage(painter, frame, scaledRect(0, split, Width, split + extra),
                            QRect(0, split, Width, 1));
        Skin::DrawSkinImage(painter, frame, scaledRect(0, split + extra, Width, Height + extra),
                            QRect(0, split, Width, Height - split));
    }
    DrawControls(painter, client);
}
