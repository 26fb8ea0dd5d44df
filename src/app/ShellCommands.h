#pragma once

// The Help and Home Page commands: hand a name to the desktop's "open" and
// explain a failure in a message box.

// Opens name with the application the desktop associates with it; on failure
// shows errorText with the reason.
void OpenWithShell(const char* name, const char* errorText);
// Shows "errorText (reason)" for a failure code of the shell's "open", with
// "Cannot execute" when errorText is null.
void ReportShellError(int code, const char* errorText);
