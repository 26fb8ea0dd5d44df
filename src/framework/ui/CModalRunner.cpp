#include "CModalRunner.h"

#include "CQtModalRunner.h"

namespace {
CModalRunner* g_current = nullptr;
} // namespace

CModalRunner& CModalRunner::Current() {
    static CQtModalRunner qtRunner;
    return g_current != nullptr ? *g_current : qtRunner;
}

CModalRunner* CModalRunner::Install(CModalRunner* runner) {
    CModalRunner* previous = g_current;
    g_current = runner;
    return previous;
}
