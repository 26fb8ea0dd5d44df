#include "CStartUpThread.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <QThread>

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <string>

namespace {

// The family of the font fontconfig picks for family, upright, as Qt asks
// for it when a family it does not list has to be stood in for; empty when
// there is none.
std::string FamilyStoodInFor(const char* family) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return {};
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return {};
    }
    std::string name;
    FcChar8* value = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch) {
        name = reinterpret_cast<const char*>(value);
    }
    FcPatternDestroy(match);
    return name;
}

} // namespace

CStartUpThread::CStartUpThread() {
    // Qt takes the first thread that asks for its thread data for the main
    // one: this one, before the start-up thread makes Qt objects.
    QThread::currentThread();
    std::promise<std::string> genericFont;
    m_genericFont = genericFont.get_future();
    m_thread = std::thread([genericFont = std::move(genericFont)]() mutable {
        FcInit();
        genericFont.set_value(FamilyStoodInFor(kGenericFamily));
        // The first change a widget reports to assistive technology connects
        // Qt's accessibility bridge to the session bus, and the main thread
        // waits for that connection; with no bus in the environment it
        // waits for D-Bus to try and fail to start one. Every connection to
        // the session bus is the one Qt opens first, so opening it here
        // leaves the bridge a connection already made.
        QDBusConnection::sessionBus();
    });
}

CStartUpThread::~CStartUpThread() {
    Wait();
}

void CStartUpThread::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CStartUpThread::NameApplicationFont() {
    // Qt looks an alias up by sorting every font against it, on the first
    // text the main thread measures; the family it then takes first is the
    // one fontconfig picks, known here already. Not worth waiting for.
    if (QApplication::font().family() != QLatin1String(kGenericFamily) || !m_genericFont.valid() ||
        m_genericFont.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    const QString family = QString::fromStdString(m_genericFont.get());
    // Known to Qt by that name (asked without hasFamily, which would look
    // the name up in fontconfig once more).
    if (family.isEmpty() || !QFontDatabase::families().contains(family)) {
        return;
    }
    QFont font = QApplication::font();
    font.setFamilies(QStringList{family});
    QApplication::setFont(font);
}
