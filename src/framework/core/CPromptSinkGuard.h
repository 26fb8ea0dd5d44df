#pragma once

class CPromptSink;

// Installs a prompt sink for the lifetime of the guard and puts the previous
// one back when it ends.
class CPromptSinkGuard {
public:
    explicit CPromptSinkGuard(CPromptSink* sink);
    ~CPromptSinkGuard();
    CPromptSinkGuard(const CPromptSinkGuard&) = delete;
    CPromptSinkGuard& operator=(const CPromptSinkGuard&) = delete;

private:
    CPromptSink* m_pPrevious;
};
