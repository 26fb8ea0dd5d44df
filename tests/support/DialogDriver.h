#pragma once

#include <QString>

class CDialog;
class QComboBox;
class QWidget;

// Acts on dialog controls the way a user does: key presses and mouse clicks
// sent to the widgets, so validators, signals and focus behave as for real.
class DialogDriver {
public:
    // The QApplication of the test program, made on first use.
    static void EnsureApplication();

    // The control of dlg with this id as T, or nullptr.
    template <class T> static T* Control(const CDialog& dlg, int nID);

    static void Click(QWidget* button);
    // Selects all text of the edit box and types text over it; an empty text
    // deletes it.
    static void Retype(QWidget* edit, const QString& text);
    // Types text at the end of what the edit box holds.
    static void Type(QWidget* edit, const QString& text);
    // Chooses item index of the list with the keyboard.
    static void Pick(QComboBox* list, int index);
    static void PressEnter(QWidget* widget);
    static void PressEscape(QWidget* widget);
};

#include "framework/ui/CDialog.h"

template <class T> T* DialogDriver::Control(const CDialog& dlg, int nID) {
    return qobject_cast<T*>(dlg.GetDlgItem(nID));
}
