#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>

struct SoundResource;

// "Sound Resource Properties" for a CD-audio resource: shows its id and edits
// its track number, 2 to 17. The record is written only at OK.
class CCdTrackResourceDlg : public CDialog {
public:
    enum { IDD = IDD_CD_TRACK_RESOURCE };

    // pResource lives in the document's table; not owned.
    explicit CCdTrackResourceDlg(SoundResource* pResource, QWidget* pParentWnd = nullptr);
    ~CCdTrackResourceDlg() override;

    QString m_strResourceId;
    QString m_strType;
    int m_nCdTrack = 0;
    SoundResource* m_pResource;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Ends with 3 for a record that is not CD Audio.
    bool OnInitDialog() override;
    void OnOK() override;
};
