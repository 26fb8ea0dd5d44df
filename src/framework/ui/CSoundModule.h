#pragma once

#include <QString>

class ISoundOutput;

// Finds and loads the playback module, once, at the first sound. It lies in
// a folder of its own beside the programs' folder (KANTEL_SOUND_MODULE_DIR,
// relative to the program), where the package installs it and where the
// build tree puts it for the programs it runs.
class CSoundModule {
public:
    CSoundModule() = delete;

    // The module's output; nullptr when the module cannot be loaded, which
    // is said once on the standard error.
    static ISoundOutput* Output();
    static QString Path();
};
