#pragma once

struct DialogTemplate;

// Dialog 100, "About Kantel". Its icon is not a control of the template: the
// box draws icon 128 where the template leaves room for it (kIconRect).
const DialogTemplate& AboutBoxTemplate();

struct AboutBoxIcon {
    static constexpr int x = 11;
    static constexpr int y = 17;
    static constexpr int cx = 18;
    static constexpr int cy = 20;
};
