#pragma once

#include <QString>

// What the command line asks the program to do at start-up, filled by
// CWinApp::ParseCommandLine and carried out by ProcessShellCommand.
//
//   CCommandLineInfo cmdInfo;
//   ParseCommandLine(cmdInfo);
//   if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew)
//       cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
//   if (!ProcessShellCommand(cmdInfo))
//       return false;
class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing };

    virtual ~CCommandLineInfo() = default;

    // One argument. Flags start with '-' (a '/' starts an absolute path
    // here); the framework knows none and ignores them. The first other
    // argument is the file to open.
    virtual void ParseParam(const QString& param, bool bFlag, bool bLast);

    ShellCommand m_nShellCommand = FileNew;
    QString m_strFileName;
};
