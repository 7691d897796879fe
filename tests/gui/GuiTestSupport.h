#pragma once

// Simulated mouse input goes through the platform layer, as real input does: enter and leave,
// implicit grabs while a button is held, double clicks from two presses.
#ifndef QTEST_QPA_MOUSE_HANDLING
#define QTEST_QPA_MOUSE_HANDLING
#endif

#include "tests/TestSupport.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/MessageWindow.h"
#include "toolkit/Skin.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <vector>

struct Sent {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Sent&) const = default;
};

inline void PrintTo(const Sent& s, std::ostream* os) {
    *os << "{" << s.message << ", " << s.wParam << ", " << s.lParam << "}";
}

inline std::vector<intptr_t> codesOf(const std::vector<Sent>& sent, uint32_t message) {
    std::vector<intptr_t> codes;
    for (const Sent& s : sent)
        if (s.message == message)
            codes.push_back(s.lParam);
    return codes;
}

// A parent for controls on their own: records what they send and what they ask to repaint.
class RecordingWindow : public MessageWindow {
public:
    RecordingWindow() {
        messageTable.setDefaultHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            sent.push_back({m, w, l});
            return 0;
        });
    }
    void invalidate(const Rect& rect) override { repainted.push_back(rect); }
    void invalidateAll() override { ++fullRepaints; }
    std::vector<intptr_t> codes(uint32_t message) const { return codesOf(sent, message); }
    void clear() {
        sent.clear();
        repainted.clear();
        fullRepaints = 0;
    }

    std::vector<Sent> sent;
    std::vector<Rect> repainted;
    int fullRepaints = 0;
};

// A skin folder of the test's own: VIREO_SKIN_DIR points at it while it lives.
class SkinFolder {
public:
    SkinFolder() : previous(qgetenv("VIREO_SKIN_DIR")) {
        qputenv("VIREO_SKIN_DIR", dir.path().toLocal8Bit());
        Skin::clearCache();
    }
    ~SkinFolder() {
        qputenv("VIREO_SKIN_DIR", previous);
        Skin::clearCache();
    }
    SkinFolder(const SkinFolder&) = delete;
    SkinFolder& operator=(const SkinFolder&) = delete;

    // Writes `image` under a skin name ("skins\mouse\x.png") and returns the name.
    QString write(const QString& name, const QImage& image) const {
        const QString file = Skin::path(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        EXPECT_TRUE(image.save(file)) << file.toStdString();
        return name;
    }
    QString path() const { return dir.path(); }

    static QImage solid(int width, int height, const QColor& color) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(color);
        return image;
    }

private:
    QTemporaryDir dir;
    QByteArray previous;
};

// A dialog whose controls the test adds. It records every message no handler takes and the
// areas each paint covered.
class TestDialog : public CDlgBase {
public:
    explicit TestDialog(int templateId = SmallDialogTemplate, int designWidth = 400, int designHeight = 300)
        : CDlgBase(templateId) {
        SetDesignSize(designWidth, designHeight);
        messageTable.setDefaultHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            sent.push_back({m, w, l});
            return 0;
        });
    }
    void CreateControls(const Rect&) override {
        if (create)
            create(*this);
    }
    void DrawBackground(QPainter& painter, const Rect& client) override {
        paintedAreas.push_back(painter.clipBoundingRect().toAlignedRect());
        CDlgBase::DrawBackground(painter, client);
    }
    std::vector<intptr_t> codes(uint32_t message) const { return codesOf(sent, message); }

    std::function<void(TestDialog&)> create;
    std::vector<Sent> sent;
    std::vector<QRect> paintedAreas;
};

// Feeds mouse events straight to a control; a move while the left button is down carries it in
// its flags, as the dialog's own moves do.
struct Mouse {
    CControlBase& control;
    bool held = false;
    bool move(int x, int y) { return control.OnMouseMove(held ? uint32_t(KeyLButton) : 0u, {x, y}); }
    bool down(int x, int y) {
        held = true;
        return control.OnLButtonDown(KeyLButton, {x, y});
    }
    bool up(int x, int y) {
        held = false;
        return control.OnLButtonUp(0, {x, y});
    }
    bool dbl(int x, int y) { return control.OnLButtonDblClk(KeyLButton, {x, y}); }
    bool right(int x, int y) { return control.OnRButtonUp(0, {x, y}); } // a right click's release
    void click(int x, int y) {
        move(x, y);
        down(x, y);
        up(x, y);
    }
};

// Counts what a dialog asks of it and paints itself magenta.
class ProbeControl : public CControlBase {
public:
    ProbeControl(MessageWindow* parent, uint32_t id, const Rect& rect)
        : CControlBase(parent, id, rect, QString(), true, true, false, true) {}
    void Draw(QPainter& painter, const Rect&) override {
        ++draws;
        painter.fillRect(rect.toQRect(), Qt::magenta);
    }
    bool OnPopupClosed(int) override {
        ++popupClosed;
        return false;
    }
    bool OnMouseMove(uint32_t, const QPoint& p) override {
        moves.push_back(p);
        return false;
    }
    bool OnLButtonDblClk(uint32_t, const QPoint&) override {
        ++doubleClicks;
        return false;
    }
    void ReleaseImages() override { ++releases; }

    int draws = 0, popupClosed = 0, doubleClicks = 0, releases = 0;
    std::vector<QPoint> moves;
};

// Runs the pending repaints.
inline void flushPaints() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Shows a window and moves the mouse over it twice: a move to where the pointer already is (the
// last test's window may have stood in the same place) is not delivered.
inline bool showAndWait(QWidget& widget) {
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget))
        return false;
    QTest::mouseMove(&widget, QPoint(widget.width() - 1, widget.height() - 1));
    QTest::mouseMove(&widget, QPoint(widget.width() - 2, widget.height() - 1));
    return true;
}

// Moves the mouse onto p, then clicks there.
inline void clickAt(QWidget& widget, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseMove(&widget, p);
    QTest::mouseClick(&widget, button, {}, p);
}
