#pragma once

#include "format/CReplacePlan.h"
#include "framework/ui/CDialog.h"
#include "res/resource.h"

#include <functional>
#include <vector>

class QTableWidget;

// "Replace from Folder": shows what a replace plan would do, one row a
// matched file (resource, file, format before and after, loop, loudness
// change), lets rows be unticked and sets the import's options. After IDOK,
// Chosen() holds the ticked matches and m_plan.options the options.
class CReplaceFolderDlg : public CDialog {
public:
    enum { IDD = IDD_REPLACE_FOLDER };

    explicit CReplaceFolderDlg(CReplacePlan plan, QWidget* pParentWnd = nullptr);
    ~CReplaceFolderDlg() override;

    enum Column { Tick, Resource, File, From, To, Loop, Loudness, ColumnCount };

    CReplacePlan m_plan;
    // The change of loudness a match would get (its text for the Loudness
    // column), with Keep rate as given; without it the column stays empty.
    std::function<QString(const CReplacePlan::Match&, bool keepRate)> m_loudnessOf;
    int m_bKeepRate = 0;
    int m_bMatchLoudness = 0;

    std::vector<CReplacePlan::Match> Chosen() const;
    // The table, for whoever drives the dialog; nullptr before it is made.
    QTableWidget* Table() const { return m_pTable; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    std::span<const MessageEntry> GetMessageMap() const override;

    void OnKeepRate();
    void OnMatchLoudness();

private:
    // The To column follows Keep rate; the Loudness column both boxes.
    void FillTargets();
    void FillLoudness();

    QTableWidget* m_pTable = nullptr;
    std::vector<bool> m_ticked;
};
