// A full repaint of a window with 120 skinned controls, at scale 1 and 2, against two references: a
// synthetic frame that draws the same images and texts at the same places with plain QPainter calls
// (what the control machinery costs over the drawing itself), and a bare blit of a full-window
// pixmap (what any paint costs over a copy).
#include "toolkit/CCheckButton.h"
#include "toolkit/CComboButton.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/CImageButton.h"
#include "toolkit/CSliderControl.h"
#include "toolkit/CStaticImage.h"
#include "toolkit/CStaticText.h"
#include "toolkit/Skin.h"
#include "toolkit/SkinText.h"
#include "toolkit/UiScale.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

namespace {
constexpr int DesignWidth = 1127;
constexpr int DesignHeight = 740;

// Images at twice their design size, as the shipped skins are drawn.
void writeImage(const QString& folder, const QString& name, int width, int height, const QColor& color) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, color.lighter(130));
    gradient.setColorAt(1, color.darker(130));
    painter.setBrush(gradient);
    painter.setPen(color.lighter(160));
    painter.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 6, 6);
    painter.end();
    image.save(folder + "/" + name);
}

class SkinSet {
public:
    SkinSet() {
        const QString root = dir.path();
        writeImage(root, "button_nr.png", 140, 46, QColor(40, 44, 52));
        writeImage(root, "button_ov.png", 140, 46, QColor(60, 70, 90));
        writeImage(root, "check_nr.png", 30, 30, QColor(40, 44, 52));
        writeImage(root, "check_ov.png", 30, 30, QColor(60, 70, 90));
        writeImage(root, "check_dn.png", 30, 30, QColor(0, 160, 200));
        writeImage(root, "combo_nr.png", 324, 42, QColor(30, 32, 38));
        writeImage(root, "combo_ov.png", 324, 42, QColor(50, 56, 70));
        writeImage(root, "knob.png", 26, 26, QColor(0, 160, 200));
        writeImage(root, "picture.png", 430, 796, QColor(70, 70, 80));
        QImage background(DesignWidth, DesignHeight, QImage::Format_RGB32);
        QPainter painter(&background);
        QLinearGradient gradient(0, 0, DesignWidth, DesignHeight);
        gradient.setColorAt(0, QColor(18, 20, 24));
        gradient.setColorAt(1, QColor(34, 38, 46));
        painter.fillRect(background.rect(), gradient);
        painter.end();
        background.save(root + "/background.bmp");
        qputenv("VIREO_SKIN_DIR", root.toLocal8Bit());
        Skin::clearCache();
    }

private:
    QTemporaryDir dir;
};

// A window like the main one: a full background bitmap and 120 controls in rows and columns.
class PaintDialog : public CDlgBase {
public:
    PaintDialog() : CDlgBase(MainWindowTemplate) {
        SetDesignSize(DesignWidth, DesignHeight);
        QSize size;
        Skin::LoadSkinBitmap("skins\\background.bmp", background, size);
        Initialize();
    }

    // What each control shows in its resting state, for the synthetic frame.
    struct Piece {
        QRect rect;
        QImage image;
        QString text;
    };
    std::vector<Piece> pieces;

    void addPiece(const Rect& rect, const char* skin, const QString& text) {
        Piece piece{rect.toQRect(), QImage(), text};
        int w = 0, h = 0;
        if (skin)
            Skin::LoadSkinImage(QString::fromLatin1(skin), piece.image, w, h);
        pieces.push_back(piece);
    }

    void CreateControls(const Rect&) override {
        uint32_t id = 4000;
        auto cell = [](int column, int row, int width, int height) {
            const int x = 20 + column * 185, y = 20 + row * 35;
            return scaledRect(x, y, x + width, y + height);
        };
        for (int i = 0; i < 30; ++i) {
            auto* b =
                AddControl(0, std::make_unique<CImageButton>(this, id++, cell(i % 6, i / 6, 70, 23),
                                                             TextCenter, "Button " + QString::number(i)));
            b->SetImages("skins\\button_nr.png", "skins\\button_ov.png");
            addPiece(b->rect, "skins\\button_nr.png", "Button " + QString::number(i));
        }
        for (int i = 0; i < 30; ++i) {
            auto* c =
                AddControl(1, std::make_unique<CCheckButton>(this, id++, cell(i % 6, 5 + i / 6, 150, 15),
                                                             TextLeft, "Option " + QString::number(i)));
            c->SetImages("skins\\check_nr.png", "skins\\check_ov.png", "skins\\check_dn.png");
            c->leftInset = scaled(20);
            c->SetChecked(i % 2 == 0);
            addPiece(c->rect, c->isChecked() ? "skins\\check_dn.png" : "skins\\check_nr.png",
                     "Option " + QString::number(i));
        }
        for (int i = 0; i < 24; ++i) {
            auto* c =
                AddControl(2, std::make_unique<CComboButton>(this, id++, cell(i % 6, 10 + i / 6, 162, 21),
                                                             1028, "Left button", TextCenter));
            c->SetImages("skins\\combo_nr.png", "skins\\combo_ov.png");
            addPiece(c->rect, "skins\\combo_nr.png", "Left button");
        }
        for (int i = 0; i < 24; ++i) {
            auto* t = AddControl(
                3, std::make_unique<CStaticText>(this, id++, cell(i % 6, 14 + i / 6, 160, 18), 0xB4B4B4,
                                                 TextLeft, "Label text " + QString::number(i)));
            addPiece(t->rect, nullptr, "Label text " + QString::number(i));
        }
        for (int i = 0; i < 6; ++i) {
            auto* s = AddControl(4, std::make_unique<CSliderControl>(this, id++, cell(i, 18, 160, 13), 11,
                                                                     scaled(6), scaled(7)));
            s->SetKnobImage("skins\\knob.png");
            s->SetPosition(i);
            addPiece(s->rect, "skins\\knob.png", QString());
        }
        for (int i = 0; i < 6; ++i) {
            auto* picture = AddControl(5, std::make_unique<CStaticImage>(this, id++, cell(i, 19, 40, 18)));
            picture->SetImage("skins\\picture.png");
            addPiece(picture->rect, "skins\\picture.png", QString());
        }
    }

    void DrawBackground(QPainter& painter, const Rect& client) override {
        // As the main window: the opaque background covers the window, so nothing is filled first.
        if (background.width() < DesignWidth || background.height() < DesignHeight)
            painter.fillRect(client.toQRect(), toQColor(backgroundColor));
        Skin::DrawSkinImage(painter, background, client, 0, DesignWidth, DesignHeight);
        DrawControls(painter, client);
    }

    QImage background;
};

PaintDialog& dialogAt(int scale) {
    static SkinSet skins;
    static std::map<int, std::unique_ptr<PaintDialog>> dialogs;
    auto& dialog = dialogs[scale];
    if (!dialog) {
        const float saved = uiScale();
        uiScale() = float(scale);
        dialog = std::make_unique<PaintDialog>();
        uiScale() = saved;
    }
    return *dialog;
}

void BM_FullRepaint(benchmark::State& state) {
    PaintDialog& dialog = dialogAt(int(state.range(0)));
    QPixmap screen(dialog.size());
    int controls = 0;
    for (const auto& list : dialog.controls)
        controls += int(list.size());
    for (auto _ : state) {
        dialog.render(&screen);
        benchmark::DoNotOptimize(screen.cacheKey());
    }
    state.counters["controls"] = controls;
    state.counters["width"] = dialog.width();
}

// What a mouse move over a button costs: the repaint of its rectangle only.
void BM_ButtonRepaint(benchmark::State& state) {
    PaintDialog& dialog = dialogAt(int(state.range(0)));
    QPixmap screen(dialog.size());
    dialog.render(&screen);
    const QRect area = dialog.controls[0].front()->rect.toQRect();
    for (auto _ : state) {
        dialog.render(&screen, area.topLeft(), QRegion(area));
        benchmark::DoNotOptimize(screen.cacheKey());
    }
}

// The same frame drawn directly: background, then each control's image scaled into its rectangle and
// its text centred, with the dialog's font.
void BM_SyntheticFrame(benchmark::State& state) {
    PaintDialog& dialog = dialogAt(int(state.range(0)));
    QPixmap screen(dialog.size());
    const QRect client = dialog.rect();
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.setFont(dialog.font());
        painter.setPen(QColor(0xB4, 0xB4, 0xB4));
        painter.drawImage(client, dialog.background);
        for (const PaintDialog::Piece& piece : dialog.pieces) {
            if (!piece.image.isNull())
                painter.drawImage(piece.rect, piece.image);
            if (!piece.text.isEmpty())
                painter.drawText(piece.rect, Qt::AlignCenter, piece.text);
        }
        painter.end();
        benchmark::DoNotOptimize(screen.cacheKey());
    }
    state.counters["pieces"] = double(dialog.pieces.size());
}

void BM_BareBlit(benchmark::State& state) {
    PaintDialog& dialog = dialogAt(int(state.range(0)));
    QPixmap screen(dialog.size());
    QPixmap frame(dialog.size());
    frame.fill(Qt::darkGray);
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.drawPixmap(0, 0, frame);
        painter.end();
        benchmark::DoNotOptimize(screen.cacheKey());
    }
    state.counters["width"] = dialog.width();
}

BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SyntheticFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ButtonRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareBlit)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
} // namespace
