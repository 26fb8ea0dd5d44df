#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>

struct SoundEvent;

// "Sound Event Properties" for a Pitch or Volume event: its flags, its target
// (resource index and bank number packed into param1) and its two 16.16
// parameters, each shown live as a fraction of 1.0. The record is written only
// at OK, and its type never.
class CSoundEventDlg : public CDialog {
public:
    enum { IDD = IDD_SOUND_EVENT };

    // pEvent lives in the document's table; not owned.
    explicit CSoundEventDlg(SoundEvent* pEvent, QWidget* pParentWnd = nullptr);
    ~CSoundEventDlg() override;

    int m_nBankNumber = 0;
    QString m_strEventId;
    int m_nParam2 = 0;
    int m_nParam3 = 0;
    QString m_strType;
    int m_nTargetIndex = 0;
    int m_bStopable = 0;
    int m_bDynamic = 0;
    SoundEvent* m_pEvent;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Ends with 3 for an event that is neither Pitch nor Volume.
    bool OnInitDialog() override;
    void OnOK() override;
    std::span<const MessageEntry> GetMessageMap() const override;

    void OnChangeParam2();
    void OnChangeParam3();
    void StoreToEvent();

private:
    // The fraction beside a parameter box; values above 1.0 show as 1.0.
    void ShowFraction(int nEdit, int nFraction);
};
