#include "ui/shell/SectionColumn.h"

#include "toolkit/CCheckButton.h"
#include "toolkit/CDlgBase.h"
#include "toolkit/UiScale.h"
#include "ui/shell/MainControls.h"
#include "ui/shell/MainLayout.h"

#include <algorithm>
#include <array>
#include <map>

using namespace MainControl;

namespace {
struct Section {
    uint32_t header;
    int list;
    int bodyHeight;
};

// In stacking order.
constexpr std::array<Section, 5> Sections = {{
    {DpiHeader, MainLayout::DpiBody, 196},
    {LightingHeader, MainLayout::LightingBody, 180},
    {PollingHeader, MainLayout::PollingBody, 180},
    {LiftOffHeader, MainLayout::LiftOffBody, 85},
    {PointerHeader, MainLayout::PointerBody, 110},
}};

Rect designRect(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
} // namespace

void SectionColumn::addBody(int list, CControlBase* control, const Rect& design) {
    bodies.push_back({list, control, design});
}

CCheckButton* SectionColumn::header(uint32_t id) const {
    return dynamic_cast<CCheckButton*>(window.FindControl(id));
}

bool SectionColumn::isOpen(uint32_t id) const {
    const CCheckButton* h = header(id);
    return h && h->shown && h->isChecked();
}

Rect SectionColumn::headerRect(uint32_t id) const {
    int y = MainLayout::ColumnTop;
    for (const Section& s : Sections) {
        const CCheckButton* h = header(s.header);
        if (!h || !h->shown)
            continue;
        if (s.header == id)
            return designRect(MainLayout::ColumnX, y, MainLayout::HeaderWidth, MainLayout::HeaderHeight);
        y += MainLayout::HeaderStep + (h->isChecked() ? s.bodyHeight : 0);
    }
    return Rect::none();
}

std::vector<Rect> SectionColumn::openBodyFrames() const {
    std::vector<Rect> frames;
    for (const Section& s : Sections) {
        if (!isOpen(s.header))
            continue;
        const Rect r = headerRect(s.header);
        frames.push_back(designRect(MainLayout::ColumnX, r.top + MainLayout::HeaderStep - 2,
                                    MainLayout::HeaderWidth, s.bodyHeight - 3));
    }
    return frames;
}

void SectionColumn::open(const std::vector<uint32_t>& headers) {
    for (const Section& s : Sections)
        if (CCheckButton* h = header(s.header)) {
            h->SetChecked(std::find(headers.begin(), headers.end(), s.header) != headers.end());
            window.SetListVisible(s.list, isOpen(s.header));
        }
}

bool SectionColumn::headerClicked(uint32_t id) {
    // The sections searched, in order, for one already open that stays open with the clicked one.
    static const std::map<uint32_t, std::array<uint32_t, 3>> partners = {
        {DpiHeader, {LightingHeader, PollingHeader, LiftOffHeader}},
        {LightingHeader, {DpiHeader, PollingHeader, LiftOffHeader}},
        {PollingHeader, {DpiHeader, LightingHeader, LiftOffHeader}},
        {LiftOffHeader, {DpiHeader, LightingHeader, PollingHeader}},
        {PointerHeader, {DpiHeader, LightingHeader, PollingHeader}},
    };
    CCheckButton* clicked = header(id);
    if (!clicked)
        return false;
    if (clicked->isChecked()) {
        uint32_t partner = 0;
        for (uint32_t candidate : partners.at(id))
            if (isOpen(candidate)) {
                partner = candidate;
                break;
            }
        if (partner != 0)
            for (const Section& s : Sections)
                if (s.header != id && s.header != partner)
                    if (CCheckButton* other = header(s.header))
                        other->SetChecked(false);
    }
    for (const Section& s : Sections)
        window.SetListVisible(s.list, isOpen(s.header));
    return true;
}

void SectionColumn::showLiftOff(bool shown) {
    CCheckButton* liftOff = header(LiftOffHeader);
    if (!liftOff)
        return;
    liftOff->SetShown(shown);
    if (!shown) {
        liftOff->SetChecked(false);
        window.SetListVisible(MainLayout::LiftOffBody, false);
    }
}

void SectionColumn::layOut() {
    for (const Section& s : Sections) {
        CCheckButton* h = header(s.header);
        if (!h)
            continue;
        const Rect r = headerRect(s.header);
        if (r == Rect::none())
            continue;
        h->SetRect(scaledRect(r.left, r.top, r.right, r.bottom));
        const int originX = r.left;
        const int originY = r.top + MainLayout::HeaderStep;
        for (const Body& body : bodies) {
            if (body.list != s.list)
                continue;
            const Rect& d = body.design;
            body.control->SetRect(
                scaledRect(originX + d.left, originY + d.top, originX + d.right, originY + d.bottom));
        }
    }
}
