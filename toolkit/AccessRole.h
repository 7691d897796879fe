#pragma once

// What a painted control is to the keyboard and to a screen reader. Controls that take the keyboard
// are the ones from PushButton to Link; the rest are read, never focused.
enum class AccessRole {
    None, // not exposed (a decoration)
    PushButton,
    CheckBox,
    RadioButton,
    Slider,
    PageTab,
    ComboBox,
    List,
    Link,
    StaticText,
    Graphic,
    ProgressBar,
};

inline bool takesFocus(AccessRole role) {
    return role >= AccessRole::PushButton && role <= AccessRole::Link;
}
