#include "CCommandLineInfo.h"

void CCommandLineInfo::ParseParam(const QString& param, bool bFlag, bool /*bLast*/) {
    if (!bFlag && m_strFileName.isEmpty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}
