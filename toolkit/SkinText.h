#pragma once

#include "toolkit/ColorRef.h"
#include "toolkit/Rect.h"

#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>

class QPainter;

// Text layout flags, with the values the layouts use ("0x40024" = single line, centred vertically,
// ellipsis at the end).
enum TextFormat : uint32_t {
    TextLeft = 0x0,
    TextCenter = 0x1,
    TextRight = 0x2,
    TextVCenter = 0x4, // only with TextSingleLine; other text starts at the top
    TextBottom = 0x8,  // only with TextSingleLine
    TextWordBreak = 0x10,
    TextSingleLine = 0x20,
    TextEditControl = 0x2000,
    TextEndEllipsis = 0x8000,
    TextWordEllipsis = 0x40000,
};

// How controls draw their text.
class SkinText {
public:
    // Text colours of interactive controls by visual state (0 normal, 1 over, 2 pressed/checked).
    static constexpr ColorRef NormalColor = 0xB4B4B4;
    static constexpr ColorRef OverColor = 0xFFFFFF;
    static constexpr ColorRef PressedColor = 0x00FFFF;
    static ColorRef stateColor(int state);

    // The control convention: `rect` narrowed by the insets, single line, centred vertically,
    // ellipsis when too long, plus the control's alignment (TextLeft, TextCenter or TextRight).
    static constexpr uint32_t ControlFormat = TextSingleLine | TextVCenter | TextWordEllipsis;
    static void drawControlText(QPainter& painter, const Rect& rect, int leftInset, int rightInset,
                                const QString& text, uint32_t alignment, const QFont& font, ColorRef color);

    // Draws text in `rect` with the given flags, on a transparent background.
    static void draw(QPainter& painter, const Rect& rect, const QString& text, uint32_t format,
                     const QFont& font, ColorRef color);

    // A text as a control asked for it, before any ellipsis.
    struct Drawn {
        Rect rect;
        QString text;
        uint32_t format;
        QFont font;
    };
    // Sees every text drawn from now on (null: none); checks that labels fit their boxes use it.
    static void setObserver(std::function<void(const Drawn&)> observer);
};
