#pragma once

#include "toolkit/CControlBase.h"
#include "toolkit/MessageWindow.h"

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// A window for controls on their own. Notifications go nowhere and repaint requests are dropped:
// each look is painted once, after it has been driven.
class GalleryStage : public MessageWindow {
public:
    void invalidate(const Rect&) override {}
    void invalidateAll() override {}
};

// The controls of one picture. `data` holds what the controls point at (a macro library, a macro,
// the radio groups and selections a window would own);
// it is declared first so it outlives them.
struct Scene {
    std::shared_ptr<void> data;
    std::vector<std::unique_ptr<CControlBase>> backdrop; // drawn first, never driven
    std::vector<std::unique_ptr<CControlBase>> subjects; // drawn and driven
};

// One visual state and how the control's own mouse handlers bring each subject into it.
struct Look {
    QString name;
    std::function<void(CControlBase&)> drive; // may be empty: the state as built
    bool disabled = false;                    // the subjects are built disabled
};

// A control class: its scene at the current layout scale and its looks. Sizes in design units.
struct Specimen {
    QString className;
    QSize designSize;
    std::function<Scene(MessageWindow& stage, bool disabled)> build;
    std::vector<Look> looks;
};

// Every control class of the toolkit.
std::vector<Specimen> controlSpecimens();
