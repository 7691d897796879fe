#pragma once

#include "toolkit/CDlgBase.h"

// The notice: a heading, a message, an OK button and a close button. OK ends it with IDOK, the
// close button with IDCANCEL; callers that only inform ignore the result.
class CAttentionDlg : public CDlgBase {
    Q_OBJECT

public:
    CAttentionDlg(const QString& heading, const QString& message, QWidget* parent = nullptr);

    void CreateControls(const Rect& client) override;
    void DrawBackground(QPainter& painter, const Rect& client) override;

    QString heading;
    QString message;

private:
    int extra = 0;
};
