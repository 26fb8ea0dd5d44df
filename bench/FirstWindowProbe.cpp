// Linked into the two programs whose start-up the start benchmark compares:
// the moment its first top-level window is exposed on the screen, the
// process prints the time of day ("first window at SECONDS") and ends. The
// time from exec to that line is the time to the first window; the exit
// after it (the kernel taking the process's memory back, which takes longer
// the more of it a program has touched) is no part of the start.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>
#include <ctime>

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
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("first window at %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                            now.tv_nsec);
                std::fflush(stdout);
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
