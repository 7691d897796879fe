#include "ui/profiles/CProgramLinksDlg.h"

#include "base/LangText.h"
#include "focus/FocusSource.h"
#include "session/LinkCommands.h"
#include "settings/ProfileSlots.h"
#include "toolkit/CAttentionDlg.h"
#include "toolkit/CStaticText.h"
#include "toolkit/CVScrollBar.h"
#include "toolkit/SkinNames.h"
#include "toolkit/UiScale.h"
#include "ui/macros/RowListScroll.h"
#include "ui/profiles/CLinkList.h"

#include <QWheelEvent>

namespace {
const QString& text(Text id) {
    return LangText::instance().text(id);
}

QString shown(const ProgramLinks::Match& m) {
    switch (m.kind) {
    case ProgramLinks::Kind::Program:
        return text(Text::LinksPickProgram).arg(m.value);
    case ProgramLinks::Kind::Class:
        return text(Text::LinksPickClass).arg(m.value);
    case ProgramLinks::Kind::Title:
        return text(Text::LinksPickTitle).arg(m.value);
    }
    return m.value;
}

// One line for an open window: its title and what runs it.
QString shown(const ProgramLinks::Window& w) {
    QString what = !w.executable.isEmpty() ? ProgramLinks::fileName(w.executable) : w.classNames.value(0);
    const QStringList windows = ProgramLinks::windowsPrograms(w.commandLine);
    if (!windows.isEmpty())
        what = windows.first();
    if (w.title.isEmpty())
        return what;
    return what.isEmpty() ? w.title : QStringLiteral("%1 \u2014 %2").arg(w.title, what);
}
} // namespace

CProgramLinksDlg::CProgramLinksDlg(SettingsStore& s, int p, FocusSource* f, QWidget* parent)
    : CDlgBase(SmallDialogTemplate, parent), store(s), place(p), source(f) {
    SetDesignSize(DesignWidth, DesignHeight);
    SetFrameFile(QLatin1String(SkinName::ListDialogFrame));
    showNotice = [this](const QString& message) {
        CAttentionDlg notice(text(Text::Notice), message, this);
        notice.DoModal();
    };
    const auto onClick = [](std::function<void()> action) {
        return [action](uintptr_t, intptr_t code) -> intptr_t {
            if (code == CodeClick)
                action();
            return 0;
        };
    };
    messageTable.add(AddFrontId, onClick([this] { addProgramInFront(); }));
    messageTable.add(AddWindowId, onClick([this] { addProgramWithWindow(); }));
    messageTable.add(RemoveId, onClick([this] { removeSelected(); }));
    messageTable.add(BackId, onClick([this] { back(); }));
    messageTable.add(ListId, [this](uintptr_t, intptr_t code) -> intptr_t {
        if (code == CodePress && current != Mode::Links && current != Mode::Countdown && list)
            choose(list->selectedRow);
        return 0;
    });
    messageTable.add(ScrollBarId, [this](uintptr_t part, intptr_t code) -> intptr_t {
        if (scroll)
            scroll->onBar(part, code);
        return 0;
    });
    messageTable.addTimer(CountdownTimer, [this] { countdownTick(); });
}

CProgramLinksDlg::~CProgramLinksDlg() = default;

void CProgramLinksDlg::CreateControls(const Rect&) {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    const QString name = place >= 1 && place <= int(visible.size())
                             ? store.records()[visible[size_t(place - 1)]].GetProfileName()
                             : QString();
    AddCloseButton(505);
    AddTitleText(text(Text::LinksTitle).arg(name), 490);
    hintText =
        AddControl(0, std::make_unique<CStaticText>(this, HintId, scaledRect(25, 34, 490, 70), 0xB4B4B4,
                                                    TextLeft | TextWordBreak | TextVCenter, QString()));
    list = AddControl(0, std::make_unique<CLinkList>(this, ListId, scaledRect(25, 74, 488, 290)));
    bar = AddControl(0, std::make_unique<CVScrollBar>(this, ScrollBarId, scaledRect(488, 74, 507, 290)));
    scroll = std::make_unique<RowListScroll>(*this, list, bar);
    AddTextButton(AddFrontId, {25, 300, 261, 323}, text(Text::LinksAddFront));
    AddTextButton(AddWindowId, {271, 300, 507, 323}, text(Text::LinksAddRunning));
    AddTextButton(RemoveId, {25, 333, 145, 356}, text(Text::LinksRemove));
    AddTextButton(BackId, {25, 333, 145, 356}, text(Text::Cancel));
    AddOkButton({442, 333, 507, 356});
    showLinks();
}

const QStringList& CProgramLinksDlg::rows() const {
    static const QStringList none;
    return list ? list->rows() : none;
}

QString CProgramLinksDlg::hint() const {
    return hintText ? hintText->caption : QString();
}

void CProgramLinksDlg::setMode(Mode mode, const QStringList& rows, const QString& hint) {
    current = mode;
    if (mode != Mode::Countdown)
        messageTable.killTimer(CountdownTimer);
    if (list)
        list->SetRows(rows);
    if (scroll)
        scroll->update();
    if (hintText)
        hintText->SetText(hint);
    const bool onLinks = mode == Mode::Links;
    for (uint32_t id : {AddFrontId, AddWindowId, RemoveId})
        if (CControlBase* button = FindControl(id))
            button->SetVisible(onLinks);
    if (CControlBase* button = FindControl(BackId))
        button->SetVisible(!onLinks);
    invalidateAll();
}

void CProgramLinksDlg::showLinks(const QString& hint) {
    const std::vector<int> visible = ProfileSlots(store).visibleSlots();
    links.clear();
    if (place >= 1 && place <= int(visible.size()))
        links = ProgramLinks::ofProfile(store.records()[visible[size_t(place - 1)]]);
    QStringList lines;
    for (const ProgramLinks::Match& m : links)
        lines << shown(m);
    setMode(Mode::Links, lines,
            !hint.isEmpty() ? hint : text(links.empty() ? Text::LinksEmpty : Text::LinksHint));
}

void CProgramLinksDlg::showNames(const ProgramLinks::Window& window) {
    names = ProgramLinks::candidates(window);
    if (names.empty()) {
        showLinks(text(Text::LinksNoneInFront));
        return;
    }
    QStringList lines;
    for (const ProgramLinks::Match& m : names)
        lines << shown(m);
    setMode(Mode::Names, lines, text(Text::LinksPickHeading));
}

void CProgramLinksDlg::addProgramInFront() {
    remaining = CountdownSeconds;
    setMode(Mode::Countdown, {}, text(Text::LinksCountdown).arg(remaining));
    messageTable.setTimer(CountdownTimer, 1000);
}

void CProgramLinksDlg::countdownTick() {
    if (current != Mode::Countdown)
        return;
    if (--remaining > 0) {
        if (hintText)
            hintText->SetText(text(Text::LinksCountdown).arg(remaining));
        return;
    }
    messageTable.killTimer(CountdownTimer);
    // This dialog's own window in front reads as no program.
    const std::optional<ProgramLinks::Window> front = source ? source->current() : std::nullopt;
    if (!front)
        showLinks(text(Text::LinksNoneInFront));
    else
        showNames(*front);
}

void CProgramLinksDlg::addProgramWithWindow() {
    windowsOpen = source ? source->windows() : std::vector<ProgramLinks::Window>();
    if (windowsOpen.empty()) {
        showLinks(text(Text::LinksNoWindows));
        return;
    }
    QStringList lines;
    for (const ProgramLinks::Window& w : windowsOpen)
        lines << shown(w);
    setMode(Mode::Windows, lines, text(Text::LinksAddRunning));
}

void CProgramLinksDlg::choose(int row) {
    if (current == Mode::Windows && row >= 0 && row < int(windowsOpen.size()))
        showNames(windowsOpen[size_t(row)]);
    else if (current == Mode::Names && row >= 0 && row < int(names.size()) &&
             change(true, names[size_t(row)]))
        showLinks();
}

void CProgramLinksDlg::removeSelected() {
    const int row = list ? list->selectedRow : -1;
    if (current == Mode::Links && row >= 0 && row < int(links.size()) && change(false, links[size_t(row)]))
        showLinks();
}

void CProgramLinksDlg::back() {
    showLinks();
}

bool CProgramLinksDlg::change(bool add, const ProgramLinks::Match& match) {
    ControlRequest request;
    request.command = add ? ControlRequest::Command::AutoAdd : ControlRequest::Command::AutoRemove;
    request.value = place;
    request.match = ProgramLinks::format(match);
    const LinkCommands::Result result = LinkCommands::run(store, request);
    if (result.code != ControlRequest::Ok) {
        if (showNotice)
            showNotice(result.message);
        showLinks();
        return false;
    }
    if (changed)
        changed();
    return true;
}

void CProgramLinksDlg::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0 && scroll)
        scroll->scrollBy(-steps);
    event->accept();
}
