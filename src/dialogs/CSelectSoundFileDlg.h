#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>

// "Select Sound File": gets a sound file for the sample dialog. The file
// browser opens with the dialog; the name of a file in m_strDirectory may
// also be typed. Play auditions the file last chosen in the browser (before
// any choice, the name handed in, found in m_strDirectory) and returns when
// it has ended. After IDOK, ChosenPath() is the file.
class CSelectSoundFileDlg : public CDialog {
public:
    enum { IDD = IDD_SELECT_SOUND_FILE };

    explicit CSelectSoundFileDlg(QWidget* pParentWnd = nullptr);
    ~CSelectSoundFileDlg() override;

    // In: the name to show; out: the name without its folder.
    QString m_strFileName;
    // Whether a sound to be converted keeps its own sample rate.
    int m_bKeepRate = 0;
    // Whether the converted sound is made as loud as the one it replaces.
    int m_bMatchLoudness = 0;
    // In: the folder the browser starts in.
    QString m_strDirectory;
    // What Play plays: the browser's last path, or the name handed in, in
    // m_strDirectory.
    QString m_strPathName;
    QString m_strFilter;
    // The browser's path; no length limit, as host paths may be long.
    QString m_strFileBuffer;

    // The file chosen: the browser's choice while the name box still shows
    // its name, otherwise the typed name in m_strDirectory.
    QString ChosenPath() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    std::span<const MessageEntry> GetMessageMap() const override;

    void OnBrowse();
    void OnPlay();

private:
    // name in m_strDirectory, matched without regard to case when the exact
    // spelling is absent; empty for an empty name.
    QString FileInDirectory(const QString& name) const;
};
