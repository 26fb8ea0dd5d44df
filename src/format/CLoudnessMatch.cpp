#include "CLoudnessMatch.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

// A gain this much below the wanted one is the ceiling's doing; smaller
// differences are rounding.
constexpr double kHeldBackDb = 0.05;

QString signedDb(double db) {
    // Rounded first, so that -0.04 does not print as "-0.0".
    const double shown = std::round(db * 10.0) / 10.0;
    return QStringLiteral("%1%2 dB")
        .arg(shown > 0.0 ? QStringLiteral("+") : QString())
        .arg(shown == 0.0 ? 0.0 : shown, 0, 'f', 1);
}

} // namespace

CLoudnessMatch CLoudnessMatch::Between(const CLoudnessMeter::Reading& reference,
                                       const CLoudnessMeter::Reading& sound) {
    CLoudnessMatch match;
    if (!reference.HasPeak() || !sound.HasPeak()) {
        return match;
    }
    if (reference.HasLoudness() && sound.HasLoudness()) {
        match.method = Method::Loudness;
        match.wantedDb = reference.integrated - sound.integrated;
    } else {
        match.method = Method::Peak;
        match.wantedDb = reference.samplePeak - sound.samplePeak;
    }
    // A sound that is past the ceiling already comes down to it even where
    // matching would leave it as it is.
    match.gainDb = std::min(match.wantedDb, kCeilingDbtp - sound.truePeak);
    match.heldBack = match.gainDb < match.wantedDb - kHeldBackDb;
    return match;
}

double CLoudnessMatch::Factor() const {
    return std::pow(10.0, gainDb / 20.0);
}

QString CLoudnessMatch::Text() const {
    QString text;
    switch (method) {
    case Method::None:
        return QCoreApplication::translate("CLoudnessMatch", "no loudness change (silence)");
    case Method::Loudness:
        text = QCoreApplication::translate("CLoudnessMatch", "loudness %1").arg(signedDb(gainDb));
        break;
    case Method::Peak:
        text = QCoreApplication::translate("CLoudnessMatch", "peak %1").arg(signedDb(gainDb));
        break;
    }
    if (heldBack) {
        text += QCoreApplication::translate("CLoudnessMatch",
                                            ", held back by the peak limit of %1 dBTP "
                                            "(matching wanted %2)")
                    .arg(kCeilingDbtp, 0, 'f', 1)
                    .arg(signedDb(wantedDb));
    }
    return text;
}
