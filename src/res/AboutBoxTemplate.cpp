#include "AboutBoxTemplate.h"

#include "resource.h"

#include "framework/ui/DialogTemplate.h"

#include <QtGlobal>

#include <array>

namespace {

using C = DialogControl;

constexpr unsigned kNoPrefix = C::NoPrefix;

const std::array kAboutControls{
    C{IDC_ABOUT_VERSION, C::Static, "", kNoPrefix, 40, 10, 136, 8},
    C{1, C::PushButton, QT_TRANSLATE_NOOP("Resources", "OK"), C::DefaultButton | C::TabStop, 184, 7,
      32, 14},
    // Two lines of their own: a static control breaks only where told.
    C{IDC_STATIC, C::Static,
      QT_TRANSLATE_NOOP("Resources", "Thanks to the friend who worked out the .bnm format,\n"
                                     "and to the friend who tested every bank."),
      C::Sunken | kNoPrefix, 7, 39, 209, 23},
    C{IDC_ABOUT_LEGAL, C::Static, "", 0, 40, 26, 176, 8},
};

const DialogTemplate kAboutTemplate{
    IDD_ABOUTBOX, "About Kantel", 223, 69, "MS Sans Serif", 8, kAboutControls, {}};

} // namespace

const DialogTemplate& AboutBoxTemplate() {
    return kAboutTemplate;
}
