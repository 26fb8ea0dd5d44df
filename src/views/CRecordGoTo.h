#pragma once

class CKantelDoc;
class CView;

// Takes the user from a list of findings or differences to the record one
// is about: the bank's resource or event window is activated (a new one
// opened, as the Window menu opens one, where the bank has none) and the
// record's row selected, focused and scrolled to.
class CRecordGoTo {
public:
    // False when index is no row of that list. from is the window the user
    // came from, activated first so that a new window is of its bank.
    static bool Go(CView& from, CKantelDoc& doc, bool resource, int index);
};
