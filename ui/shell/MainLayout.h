#pragma once

#include "base/Text.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/Rect.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CControlBase;
class MessageWindow;

// The main window's controls as one table, and the geometry of its right-hand column. The rows
// are in creation order, which is also the drawing order and the order in which the mouse finds
// overlapping controls.
class MainLayout {
public:
    // Control lists: what is always there, and the bodies of the right-hand sections, which open
    // and close as a whole.
    enum List {
        Always = 0,
        DpiBody = 1,
        LightingBody = 2,
        PointerBody = 3,
        PollingBody = 4,
        LiftOffBody = 5,
        DebounceBody = 6,
    };

    // The control classes the window is made of.
    enum class Kind {
        StaticImage,
        StaticText,
        ImageButton,
        CheckButton,
        ComboButton,
        TabControl,
        Battery,
        PowerManageButton,
        LinkButton,
        ColorSelectButton,
        DpiRadioButton,
        DpiValueShow,
        VerticalSlider,
        Slider,
        ColorSelectCheckButton,
        RadioButton,
    };

    enum Flag : unsigned {
        Hidden = 1,           // created with `shown` false (the battery is always shown)
        Inert = 2,            // drawn, deaf to the mouse
        Centred = 4,          // text and check buttons; every other kind centres its text anyway
        White = 8,            // white text instead of grey
        Open = 16,            // a section header that starts expanded
        ExtendedOnly = 32,    // shown only for a sensor with the extended settings
        UiFace = 64,          // the font is the interface face, not "Tahoma"
        RepaintsWindow = 128, // a click changes the layout: the whole window repaints
        ReportsMoves = 256,   // an image button that sends code 12 on every move over it
    };

    // The window's groups of radio buttons, tabs and DPI level buttons, with what each starts with.
    struct Radios {
        RadioGroup profileTabs{0};
        RadioGroup dpiLevels{1};
        RadioGroup direction;
        RadioGroup scrollBy{0}; // lines, page
        RadioGroup pollingRate{3};
        RadioGroup liftOff{1}; // low, high
    };

    // The kind's images in the order its setter takes them; absent ones are not set.
    using Skins = std::array<const char*, 4>;

    struct Row {
        int list;
        Kind kind;
        uint32_t id;
        Rect rect; // design units; in a section body relative to the body's origin
        Skins skins = {};
        unsigned flags = 0;
        std::optional<Text> text = {};       // the language text, if any
        int number = 0;                      // a drop-down's notification, a slider's stop count, the
                                             // index of a radio button, tab or DPI level in its group
        const char* literal = nullptr;       // follows the language text; a drop-down's display text
        int font = 0;                        // design height of the font, 0 for the default
        RadioGroup Radios::*group = nullptr; // the group of a radio button, tab or DPI level
    };

    // What the rows depend on besides themselves.
    struct Context {
        MessageWindow* window;
        int dpiSteps;
        bool extendedSensor;
        QString webLinkText;
        Radios* radios;
    };

    static const std::vector<Row>& rows();
    // The row's control. A body control gets an empty rectangle until the window lays it out.
    static std::unique_ptr<CControlBase> create(const Row& row, const Context& context);

    // The right-hand column: headers stacked from the top, each body below its header.
    static constexpr int ColumnX = 846;
    static constexpr int ColumnTop = 37;
    static constexpr int HeaderWidth = 262;
    static constexpr int HeaderHeight = 25;
    static constexpr int HeaderStep = 30;
    // Where the window stacks them; the headers are created at the top.
    static constexpr Rect HeaderRect{ColumnX, 0, ColumnX + HeaderWidth, HeaderHeight};

    static constexpr Rect MousePicture{457, 171, 672, 569};
};
