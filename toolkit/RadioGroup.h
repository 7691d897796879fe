#pragma once

// Which button of a group of radio buttons is checked, by the buttons' index in the group. The
// window that shows the buttons owns the group, so a choice lives as long as that window and no
// table of groups is needed: a button is given its group and index when it is made.
class RadioGroup {
public:
    static constexpr int None = -1;

    explicit RadioGroup(int checked = None) : checkedIndex(checked < 0 ? None : checked) {}

    int checked() const { return checkedIndex; }
    bool isChecked(int index) const { return index >= 0 && index == checkedIndex; }
    // Checks the button of `index` and so unchecks the others; None (or any negative) clears.
    void check(int index) { checkedIndex = index < 0 ? None : index; }

private:
    int checkedIndex;
};
