#pragma once

#include <QString>

#include <deque>
#include <functional>

// The edit history of one document: steps that were done, each with what
// takes it back and what does it again, and the step at which the document
// equals its file. Steps are pushed once done; pushing drops every step that
// was undone. The oldest steps go when the history outgrows its budget, and
// with them, if it lay there, the clean point.
class CUndoStack {
public:
    struct Step {
        // What the step did, as the Edit menu names it ("Properties of Horn").
        QString label;
        std::function<void()> undo;
        std::function<void()> redo;
        // Roughly the bytes the step holds, for the budget.
        qsizetype cost = 0;
        // A step that changes nothing the file must hold, such as the names
        // opening derives again each time: the document equals its file on
        // one side of it exactly when it does on the other.
        bool bKeepsClean = false;
    };

    static constexpr qsizetype kDefaultBudget = qsizetype{256} * 1024 * 1024;

    explicit CUndoStack(qsizetype budget = kDefaultBudget) : m_budget(budget) {}

    void Push(Step step);
    bool CanUndo() const { return m_nIndex > 0; }
    bool CanRedo() const { return m_nIndex < static_cast<qsizetype>(m_steps.size()); }
    // Labels of the steps Undo and Redo would run; empty when there is none.
    QString UndoLabel() const;
    QString RedoLabel() const;
    // Each runs one step; false when there was none.
    bool Undo();
    bool Redo();

    // The document now equals its file.
    void SetClean();
    // The document differs from its file in a way no step takes back.
    void SetNoCleanState();
    // Whether the document equals its file: at the clean point, or only
    // steps that keep it clean away from it.
    bool IsClean() const;

    // Forgets every step; the present is clean.
    void Clear();
    qsizetype Count() const { return static_cast<qsizetype>(m_steps.size()); }
    qsizetype Index() const { return m_nIndex; }

private:
    void KeepWithinBudget();

    std::deque<Step> m_steps;
    // Steps before this one are done.
    qsizetype m_nIndex = 0;
    // The index at which the document equals its file; -1 when none does.
    qsizetype m_nClean = 0;
    qsizetype m_budget;
    qsizetype m_cost = 0;
};
