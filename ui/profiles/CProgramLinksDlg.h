#pragma once

#include "features/ProgramLinks.h"
#include "toolkit/CDlgBase.h"

#include <functional>
#include <memory>
#include <vector>

class CLinkList;
class CStaticText;
class CVScrollBar;
class FocusSource;
class RowListScroll;
class SettingsStore;

// The programs a profile follows: its links in a list, "The program in front" (a countdown, then
// the names of the window that has the focus to pick from), "A program with a window" (the windows
// open now, then the names of the one picked), "Remove" (the selected link), OK. The list shows
// the links, the windows or the names in turn; Cancel goes back to the links. Each change is
// saved at once, as `vireoctl auto add|remove` would make it.
class CProgramLinksDlg : public CDlgBase {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 528;
    static constexpr int DesignHeight = 365;
    static constexpr int CountdownSeconds = 3;
    static constexpr int CountdownTimer = 1;
    static constexpr uint32_t ListId = 2030;
    static constexpr uint32_t ScrollBarId = 2031;
    static constexpr uint32_t HintId = 2032;
    static constexpr uint32_t AddFrontId = 2033;
    static constexpr uint32_t AddWindowId = 2034;
    static constexpr uint32_t RemoveId = 2035;
    static constexpr uint32_t BackId = 2036;

    enum class Mode { Links, Countdown, Windows, Names };

    // `place`: the profile's place in the window's list (1..5). `source` (may be null) tells the
    // program in front and the windows open.
    CProgramLinksDlg(SettingsStore& store, int place, FocusSource* source, QWidget* parent = nullptr);
    ~CProgramLinksDlg() override;

    // After a link was added or removed and saved.
    std::function<void()> changed;
    // A change that failed, with its reason; a notice dialog over this one unless replaced.
    std::function<void(const QString&)> showNotice;

    void CreateControls(const Rect& client) override;

    // What the buttons and the list do, also for driving the dialog without a mouse.
    void addProgramInFront();
    void addProgramWithWindow();
    void removeSelected();
    void back();
    void choose(int row); // a row of the windows or the names
    void countdownTick();

    Mode mode() const { return current; }
    const QStringList& rows() const;
    QString hint() const;
    int secondsLeft() const { return remaining; }

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void showLinks(const QString& hint = QString());
    void showNames(const ProgramLinks::Window& window);
    void setMode(Mode mode, const QStringList& rows, const QString& hint);
    bool change(bool add, const ProgramLinks::Match& match);

    SettingsStore& store;
    int place;
    FocusSource* source;
    Mode current = Mode::Links;
    int remaining = 0;
    std::vector<ProgramLinks::Match> links, names;
    std::vector<ProgramLinks::Window> windowsOpen;
    CLinkList* list = nullptr;
    CVScrollBar* bar = nullptr;
    CStaticText* hintText = nullptr;
    std::unique_ptr<RowListScroll> scroll;
};
