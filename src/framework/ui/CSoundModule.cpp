#include "CSoundModule.h"

#include "ISoundOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

QString CSoundModule::Path() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QStringLiteral(KANTEL_SOUND_MODULE_DIR "/libkantel-sound.so"));
}

ISoundOutput* CSoundModule::Output() {
    static ISoundOutput* const output = [] {
        // Never unloaded: sounds and Qt Multimedia's threads may outlive any
        // owner of the library.
        const QString path = Path();
        if (!QFileInfo::exists(path)) {
            qWarning("Sounds cannot be played: %s is missing.", qUtf8Printable(path));
            return static_cast<ISoundOutput*>(nullptr);
        }
        QLibrary library(path);
        const auto entry =
            reinterpret_cast<KantelSoundOutputFunction>(library.resolve(kSoundOutputSymbol));
        if (entry == nullptr) {
            qWarning("Sounds cannot be played: %s", qUtf8Printable(library.errorString()));
            return static_cast<ISoundOutput*>(nullptr);
        }
        return entry();
    }();
    return output;
}
