#include "CUndoStack.h"

#include <algorithm>
#include <utility>

void CUndoStack::Push(Step step) {
    while (CanRedo()) {
        m_cost -= m_steps.back().cost;
        m_steps.pop_back();
    }
    // The state the file holds was undone past and can no longer be reached.
    if (m_nClean > m_nIndex) {
        m_nClean = -1;
    }
    m_cost += step.cost;
    m_steps.push_back(std::move(step));
    ++m_nIndex;
    KeepWithinBudget();
}

void CUndoStack::KeepWithinBudget() {
    // The newest step stays whatever it costs: it is the one a user takes
    // back first.
    while (m_cost > m_budget && m_steps.size() > 1) {
        m_cost -= m_steps.front().cost;
        m_steps.pop_front();
        --m_nIndex;
        if (m_nClean >= 0) {
            m_nClean = m_nClean > 0 ? m_nClean - 1 : -1;
        }
    }
}

QString CUndoStack::UndoLabel() const {
    return CanUndo() ? m_steps[static_cast<size_t>(m_nIndex - 1)].label : QString();
}

QString CUndoStack::RedoLabel() const {
    return CanRedo() ? m_steps[static_cast<size_t>(m_nIndex)].label : QString();
}

bool CUndoStack::Undo() {
    if (!CanUndo()) {
        return false;
    }
    --m_nIndex;
    if (const Step& step = m_steps[static_cast<size_t>(m_nIndex)]; step.undo) {
        step.undo();
    }
    return true;
}

bool CUndoStack::Redo() {
    if (!CanRedo()) {
        return false;
    }
    const Step& step = m_steps[static_cast<size_t>(m_nIndex)];
    ++m_nIndex;
    if (step.redo) {
        step.redo();
    }
    return true;
}

void CUndoStack::SetClean() {
    m_nClean = m_nIndex;
}

bool CUndoStack::IsClean() const {
    if (m_nClean < 0) {
        return false;
    }
    const auto [from, to] = std::minmax(m_nIndex, m_nClean);
    for (qsizetype i = from; i < to; ++i) {
        if (!m_steps[static_cast<size_t>(i)].bKeepsClean) {
            return false;
        }
    }
    return true;
}

void CUndoStack::SetNoCleanState() {
    m_nClean = -1;
}

void CUndoStack::Clear() {
    m_steps.clear();
    m_nIndex = 0;
    m_nClean = 0;
    m_cost = 0;
}
