#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>
#include <QtGlobal>

struct SoundEvent;

// "Sound Event Properties" for a Pitch or Volume event: its flags, its target
// (resource index and bank number packed into param1) and its two 16.16
// parameters, each shown live as a fraction of 1.0. The record is written only
// at OK, and its type never. A parameter the record already holds is always
// accepted as it is; a new one is any 32-bit word for a Pitch and at most 1.0
// for a Volume.
class CSoundEventDlg : public CDialog {
public:
    enum { IDD = IDD_SOUND_EVENT };

    // pEvent lives in the document's table; not owned.
    explicit CSoundEventDlg(SoundEvent* pEvent, QWidget* pParentWnd = nullptr);
    ~CSoundEventDlg() override;

    int m_nBankNumber = 0;
    QString m_strEventId;
    // The words as they are: a pitch above 1.0 is an ordinary game value.
    quint32 m_nParam2 = 0;
    quint32 m_nParam3 = 0;
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
    // The fraction beside a parameter box, the box's true value.
    void ShowFraction(int nEdit, int nFraction);
    // Refuses a new Volume parameter above 1.0.
    void CheckParam(CDataExchange* pDX, quint32 value, quint32 stored) const;
};
