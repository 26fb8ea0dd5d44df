#pragma once

#include "framework/ui/CFilePicker.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers file and folder dialogs while it lives: each run records how the
// dialog was set up and takes the next scripted path, an empty one (or none
// left) meaning Cancel.
class ScriptedFilePicker final : public CFilePicker {
public:
    struct Request {
        bool bOpen;
        unsigned flags;
        QString filter;
        int filterIndex;
        QString file;
        QString initialDir;
        // A folder was asked for (only initialDir and title then).
        bool bFolder = false;
        QString title;
    };

    ScriptedFilePicker();
    int Pick(CFileDialog& dialog) override;
    QString PickFolder(const QString& title, const QString& initialDir, QWidget* pParent) override;

    QStringList answers;
    QList<Request> requests;

private:
    CSeam<CFilePicker>::Guard m_guard;
};
