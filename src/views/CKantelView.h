#pragma once

#include "CBankListView.h"

class CCmdUI;

// The resource list: one row per sound resource of the bank, nineteen
// columns of every field with the name and description from the names file.
// Plays samples, opens the property dialog of the selected resource,
// imports sound files into samples and exports samples as wave files.
class CKantelView : public CBankListView {
public:
    CKantelView();
    ~CKantelView() override;

    // The first selected row, or -1.
    int GetSelectedResource() const;

    void OnEditProperties();
    void OnSoundPlay();
    // Asks for a sound file and makes it the selected sample's.
    void OnSoundImport();
    void OnUpdateEditProperties(CCmdUI* pCmdUI);
    void OnUpdateSoundImport(CCmdUI* pCmdUI);
    // Makes the sound file at path the sample of resource index, after
    // saying what will happen and asking which rate it is to have.
    void ImportInto(int index, const QString& path);
    // Export Sounds: the selected sample or all of them, into a folder the
    // user picks.
    void OnSoundExport();
    void OnSoundReplaceFolder();
    void OnUpdateSoundExport(CCmdUI* pCmdUI);

protected:
    void OnDblclk() override;
    void OnKeydown(int nKey) override;
    void OnContextMenu(QWidget* pWnd, QPoint point) override;
    // A sound file dropped on a sample's row becomes its sound; banks
    // dropped with it, or alone, are opened as anywhere else.
    bool OnDragFiles(const QStringList& files) override;
    void OnDropFiles(const QStringList& files, int nItem) override;

private:
    DECLARE_MESSAGE_MAP()
};
