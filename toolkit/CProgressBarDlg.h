#pragma once

#include "toolkit/CDlgBase.h"

#include <QImage>
#include <functional>

// The busy indicator: a bar that fills in about half a second (2 % every 10 ms), after which
// the dialog closes itself with IDOK. Given the work it waits for, it fills no faster than that work
// is done, says how much is left, and closes only once nothing is left.
class CProgressBarDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int FillTimer = 1;
    static constexpr int CloseTimer = 2;
    static constexpr int FillIntervalMs = 10;
    static constexpr int CloseDelayMs = 20;

    CProgressBarDlg(const QString& title, const QString& secondText, QWidget* parent = nullptr);

    // Units of work still to do (any scale); `leftText` says how much that is, shown under the bar.
    void followWork(std::function<int()> left, std::function<QString(int left)> leftText);
    int workLeft() const { return left; }

    void CreateControls(const Rect& client) override;
    void OnInitDialog() override;
    void DrawBackground(QPainter& painter, const Rect& client) override;

    QString title;
    QString secondText;
    int progress = 0;
    int ticks = 0;
    QImage backImage, fillImage;
    int imageWidth = 0, imageHeight = 0;
    static constexpr uint32_t LeftTextId = MessageTextId;

private:
    std::function<int()> work;
    std::function<QString(int)> describeLeft;
    int left = 0;
    int mostLeft = 0; // the work's total as far as it has been seen

    void fill();
    void takeWork();
    void finish();
    Rect barRect() const;
};
