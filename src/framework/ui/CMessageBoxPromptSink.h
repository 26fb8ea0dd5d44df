#pragma once

#include "framework/core/CPromptSink.h"

#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

// The editor's message boxes: a modal QMessageBox titled with the
// application's name, with the icon and buttons the style asks for, run
// through the current modal runner.
class CMessageBoxPromptSink final : public CPromptSink {
public:
    explicit CMessageBoxPromptSink(QString title = QStringLiteral("Kantel"));

    int Show(const QString& text, unsigned type) override;
    int ShowWith(const QString& text, unsigned type, const Options& options) override;

    // The box Show runs, over parent.
    std::unique_ptr<QMessageBox> CreateBox(const QString& text, unsigned type,
                                           QWidget* parent) const;
    // The answer for the button that ended box; a box closed without one
    // gives the answer that loses nothing (Cancel, else No, else OK).
    static int AnswerOf(const QMessageBox& box, unsigned type);

private:
    QString m_strTitle;
};
