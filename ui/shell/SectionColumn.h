#pragma once

#include "toolkit/Rect.h"

#include <cstdint>
#include <vector>

class CCheckButton;
class CControlBase;
class CDlgBase;

// The main window's right-hand column: section headers stacked from the top, each open section's
// body below its header, and the accordion rule that decides which sections stay open together.
// A header's checked state is whether its section is open.
class SectionColumn {
public:
    explicit SectionColumn(CDlgBase& owner) : window(owner) {}

    // A control of a section body, at its design place relative to the body's origin.
    void addBody(int list, CControlBase* control, const Rect& design);

    bool isOpen(uint32_t header) const;
    // Design rectangle of a header, or none when it is not in the column.
    Rect headerRect(uint32_t header) const;
    // Design rectangles of the frames behind the open bodies.
    std::vector<Rect> openBodyFrames() const;

    // Opens exactly these sections, without the accordion rule.
    void open(const std::vector<uint32_t>& headers);
    // A header was clicked and has toggled: the accordion rule, then the bodies follow their
    // headers. False when there is no such header.
    bool headerClicked(uint32_t header);
    // The lift-off section exists only for a sensor with the extended settings.
    void showLiftOff(bool shown);
    // Moves the headers and bodies to their places.
    void layOut();

private:
    struct Body {
        int list;
        CControlBase* control;
        Rect design;
    };

    CCheckButton* header(uint32_t id) const;

    CDlgBase& window;
    std::vector<Body> bodies;
};
