#pragma once

#include "toolkit/CDlgBase.h"

#include <QImage>

// The busy indicator: a bar that fills in about half a second (2 % every 10 ms), after which
// the dialog closes itself with IDOK.
class CProgressBarDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int FillTimer = 1;
    static constexpr int CloseTimer = 2;
    static constexpr int FillIntervalMs = 10;
    static constexpr int CloseDelayMs = 20;

    CProgressBarDlg(const QString& title, const QString& secondText, QWidget* parent = nullptr);

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void DrawBackground(QPainter& painter, const Rect& client) override;

    QString title;
    QString secondText;
    int progress = 0;
    int ticks = 0;
    QImage backImage, fillImage;
    int imageWidth = 0, imageHeight = 0;

private:
    void fill();
    void finish();
    Rect barRect() const;
};
