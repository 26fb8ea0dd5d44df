#pragma once

#include "CPromptSink.h"

#include <QString>

// Message box styles and results as the program's code spells them. Only the
// values the program uses are here; the numbers are the platform's own so that
// recorded answers in tests read like the original calls.
inline constexpr unsigned MB_OK = 0x00000000U;
inline constexpr unsigned MB_OKCANCEL = 0x00000001U;
inline constexpr unsigned MB_YESNOCANCEL = 0x00000003U;
inline constexpr unsigned MB_YESNO = 0x00000004U;
// Beyond the platform's set: Yes, Yes to All, No and Cancel, for a question
// asked of many files in turn.
inline constexpr unsigned MB_YESTOALLNOCANCEL = 0x00000007U;
// Also beyond it: Save Anyway, Reload and Cancel, for a file that another
// program changed since it was opened.
inline constexpr unsigned MB_SAVEANYWAYRELOADCANCEL = 0x00000008U;
inline constexpr unsigned MB_TYPEMASK = 0x0000000FU;
inline constexpr unsigned MB_ICONHAND = 0x00000010U;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x00000020U;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x00000030U;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x00000040U;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0x000000F0U;
// The second button is the one Enter takes, where the first would lose work.
inline constexpr unsigned MB_DEFBUTTON2 = 0x00000100U;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDYESTOALL = 12;   // MB_YESTOALLNOCANCEL's own answer
inline constexpr int IDSAVEANYWAY = 13; // MB_SAVEANYWAYRELOADCANCEL's own answers
inline constexpr int IDRELOAD = 14;

// Shows a modal message box through the installed prompt sink and returns the
// button the user chose (IDOK when the sink cannot ask).
int AfxMessageBox(const QString& text, unsigned type = MB_OK);
// The same with buttons named by what they do or a check box: see
// CPromptSink::Options.
int AfxMessageBox(const QString& text, unsigned type, const CPromptSink::Options& options);
