#include "CPromptSinkGuard.h"

#include "CPromptSink.h"

CPromptSinkGuard::CPromptSinkGuard(CPromptSink* sink) : m_pPrevious(CPromptSink::Install(sink)) {}

CPromptSinkGuard::~CPromptSinkGuard() {
    CPromptSink::Install(m_pPrevious);
}
