#pragma once

#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <QString>

class CKantelDoc;
struct SoundResource;

// "Sound Resource Properties" for a sample: storage, file, loop, volume and
// the format of one Sample record of an open bank. Select takes the file
// name, length and format over from a plain wave file in the bank's folder;
// any other sound file, from anywhere, is first converted into a new wave
// file there, once the user agreed. The record is written only at OK; the
// caller then recomputes the offsets. A wave file made for a dialog that is
// cancelled is removed again.
class CSampleResourceDlg : public CDialog {
public:
    enum { IDD = IDD_SAMPLE_RESOURCE };

    // pDoc owns pResource; neither is owned by the dialog. nIndex is the
    // resource's place in pDoc, whose sound an import may match in
    // loudness (-1: none to match).
    CSampleResourceDlg(CKantelDoc* pDoc, SoundResource* pResource, int nIndex = -1,
                       QWidget* pParentWnd = nullptr);
    ~CSampleResourceDlg() override;

    QString m_strResourceId;
    int m_bLooped = 0;
    int m_nStorage = -1;
    int m_nVolume = 0;
    int m_nLoopLength = 0;
    int m_nLoopStart = 0;
    int m_nLength = 0;
    QString m_strType;
    QString m_strFileName;
    QString m_strBits;
    QString m_strChannels;
    QString m_strSampleRate;
    SoundResource* m_pResource;
    CKantelDoc* m_pDoc;
    int m_nIndex;
    // The wave file the last Select made, while the dialog has not been
    // confirmed; empty when it made none.
    QString m_strImported;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Ends with 3 for a record that is not a Sample.
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    std::span<const MessageEntry> GetMessageMap() const override;

    void OnSelect();
    void OnSelchangeType();

    void LoadFromResource();
    void StoreToResource();
    // The Offset box: 44 when the list shows External; otherwise the record's
    // offset at opening, and "Not known yet" after a change, because the
    // document assigns a banked sample's offset only after OK.
    void ShowOffset(bool bAtOpening);
    // Takes length, loop, format and name from the header of fileName in the
    // bank's folder; tells the user and changes nothing when it is unusable.
    void ReadWaveHeader(const QString& fileName);
    // Converts path after saying what will happen, then takes the new
    // file's values as ReadWaveHeader does, and its loop where it has one.
    void ImportSound(const QString& path, bool bKeepRate, bool bMatchLoudness);
    void ForgetImported();
};
