// Linked into the two programs whose start-up the start benchmark compares:
// the process ends the moment its first top-level window is exposed on the
// screen, so that the time from exec to exit is the time to the first window.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <unistd.h>

namespace {

class FirstWindowProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Expose) {
            const auto* pWindow = qobject_cast<QWindow*>(pWatched);
            if (pWindow != nullptr && pWindow->isTopLevel() && pWindow->isExposed()) {
                // Nothing after this point belongs to the measurement.
                ::_exit(0);
            }
        }
        return QObject::eventFilter(pWatched, pEvent);
    }
};

void InstallProbe() {
    QCoreApplication::instance()->installEventFilter(
        new FirstWindowProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
