#include "CWaveformPane.h"

#include "CKantelView.h"

#include "doc/CKantelDoc.h"
#include "framework/ui/CMDIChildWnd.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <span>
#include <vector>

namespace {

// Files whose peaks are kept after the selection moved on.
constexpr size_t kRecentFiles = 8;
constexpr int kCaptionMargin = 4;

QString ProblemText(const CWavePeaks& peaks) {
    switch (peaks.GetProblem()) {
    case CWavePeaks::Problem::None:
    case CWavePeaks::Problem::Canceled:
        break;
    case CWavePeaks::Problem::Unreadable:
        return QCoreApplication::translate("CWaveformPane", "The wave file could not be read");
    case CWavePeaks::Problem::NotWave:
        return QCoreApplication::translate("CWaveformPane", "Not a wave file");
    case CWavePeaks::Problem::NoFormat:
        return QCoreApplication::translate("CWaveformPane", "The wave file has no format chunk");
    case CWavePeaks::Problem::Unsupported:
        return QCoreApplication::translate("CWaveformPane",
                                           "The wave file's format cannot be drawn");
    case CWavePeaks::Problem::NoData:
        return QCoreApplication::translate("CWaveformPane", "The wave file has no sample data");
    }
    return peaks.Frames() == 0
               ? QCoreApplication::translate("CWaveformPane", "The wave file has no sample data")
               : QString();
}

QString ChannelsText(int channels) {
    switch (channels) {
    case 1:
        return QStringLiteral("mono");
    case 2:
        return QStringLiteral("stereo");
    default:
        return QStringLiteral("%1 channels").arg(channels);
    }
}

QString SecondsText(qint64 frames, quint32 rate) {
    return rate == 0 ? QString() : QString::number(static_cast<double>(frames) / rate, 'f', 2);
}

} // namespace

CWaveformPane::CWaveformPane(QWidget* parent)
    : QWidget(parent), m_loader([this](const QString& path, const CWavePeaksLoader::Peaks& peaks) {
          OnPeaks(path, peaks);
      }),
      m_loudnessLoader([this](const QString& path, const CLoudnessLoader::Reading& reading) {
          OnLoudness(path, reading);
      }) {
    m_sample.message = QCoreApplication::translate("CWaveformPane", "No sample selected");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
}

CWaveformPane::~CWaveformPane() = default;

QSize CWaveformPane::sizeHint() const {
    return {480, 14 * fontMetrics().height()};
}

QSize CWaveformPane::minimumSizeHint() const {
    return {120, 4 * fontMetrics().height()};
}

void CWaveformPane::Follow(CMDIChildWnd* pActive) {
    auto* pView =
        pActive != nullptr ? dynamic_cast<CKantelView*>(pActive->GetActiveView()) : nullptr;
    if (pView == nullptr) {
        ShowResource(nullptr, -1);
        return;
    }
    ShowResource(pView->GetDocument(), pView->GetSelectedResource());
}

void CWaveformPane::ShowResource(const CKantelDoc* pDoc, int index) {
    Sample sample;
    const std::span<const SoundResource> resources =
        pDoc != nullptr ? pDoc->Resources() : std::span<const SoundResource>();
    if (pDoc == nullptr || index < 0 || static_cast<size_t>(index) >= resources.size()) {
        sample.message = QCoreApplication::translate("CWaveformPane", "No sample selected");
        ShowSample(sample);
        return;
    }
    const SoundResource& resource = resources[static_cast<size_t>(index)];
    if (resource.IsCdAudio()) {
        // The game plays it from the disc: the bank holds no sound of it.
        sample.message =
            QCoreApplication::translate("CWaveformPane",
                                        "CD track %1 is played from the disc: no wave to show")
                .arg(resource.cdTrack);
        ShowSample(sample);
        return;
    }
    if (!resource.IsSample()) {
        sample.message = QCoreApplication::translate("CWaveformPane", "No sample selected");
        ShowSample(sample);
        return;
    }
    const QString folder = pDoc->GetBankFolder();
    const QByteArray name(resource.fileName, sizeof resource.fileName);
    if (folder != m_strResolvedFolder || name != m_resolvedName ||
        !QFileInfo::exists(m_strResolvedPath)) {
        QString path;
        if (!pDoc->GetSampleFilePath(index, path) || !QFileInfo::exists(path)) {
            path.clear();
        }
        m_strResolvedFolder = folder;
        m_resolvedName = name;
        m_strResolvedPath = path;
    }
    if (m_strResolvedPath.isEmpty()) {
        sample.message = QCoreApplication::translate("CWaveformPane", "No wave file");
        ShowSample(sample);
        return;
    }
    sample.path = m_strResolvedPath;
    sample.looped = resource.looped != 0;
    sample.loopStart = resource.loopStart;
    sample.loopLength = resource.loopLength;
    sample.frameBytes = qint64{resource.channels} * (qint64{resource.bitsPerSample} / 8);
    ShowSample(sample);
}

CWaveformPane::Stamp CWaveformPane::StampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

void CWaveformPane::ShowSample(const Sample& sample) {
    const bool otherFile = sample.path != m_sample.path;
    const bool changed = !(sample == m_sample);
    m_sample = sample;
    if (otherFile) {
        m_loudness.reset();
    }
    if (sample.path.isEmpty()) {
        m_loader.Cancel();
        m_loudnessLoader.Cancel();
        m_bStale = false;
        m_pPeaks.reset();
        if (changed) {
            update();
        }
        return;
    }
    const Stamp stamp = StampOf(sample.path);
    const auto cached = std::find_if(m_recent.begin(), m_recent.end(), [&](const Cached& c) {
        return c.path == sample.path && c.stamp == stamp;
    });
    if (cached != m_recent.end() && cached->loudness) {
        m_loader.Cancel();
        m_loudnessLoader.Cancel();
        m_bStale = false;
        if (m_pPeaks != cached->peaks || changed || m_loudness != cached->loudness) {
            m_pPeaks = cached->peaks;
            m_loudness = cached->loudness;
            update();
        }
        return;
    }
    if (m_loader.IsBusy() && m_loader.GetPath() == sample.path && m_readingStamp == stamp) {
        if (changed) {
            update();
        }
        return;
    }
    // Another file's picture is never shown for this one; the same file,
    // changed on disk, keeps its old picture until the new one is read.
    if (otherFile) {
        m_pPeaks.reset();
    }
    // Unlike the picture, a figure of the file as it was would pass for
    // the new one's.
    m_loudness.reset();
    m_readingStamp = stamp;
    if (isVisible()) {
        StartReading();
    } else {
        m_loader.Cancel();
        m_bStale = true;
    }
    update();
}

void CWaveformPane::StartReading() {
    m_bStale = false;
    m_loader.Load(m_sample.path);
    m_loudnessLoader.Load(m_sample.path);
}

void CWaveformPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_bStale && !m_sample.path.isEmpty()) {
        m_readingStamp = StampOf(m_sample.path);
        StartReading();
    }
}

void CWaveformPane::OnPeaks(const QString& path, const CWavePeaksLoader::Peaks& peaks) {
    if (path != m_sample.path) {
        return;
    }
    m_pPeaks = peaks;
    m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(),
                                  [&](const Cached& c) { return c.path == path; }),
                   m_recent.end());
    m_recent.push_front({path, m_readingStamp, peaks, m_loudness});
    if (m_recent.size() > kRecentFiles) {
        m_recent.pop_back();
    }
    update();
}

void CWaveformPane::OnLoudness(const QString& path, const CLoudnessLoader::Reading& reading) {
    if (path != m_sample.path) {
        return;
    }
    // A file that cannot be measured is not asked again while it stays as
    // it is; the caption then says nothing of its loudness.
    m_loudness = reading ? reading : CLoudnessLoader::Reading(CLoudnessMeter::Reading());
    for (Cached& c : m_recent) {
        if (c.path == path && c.stamp == m_readingStamp) {
            c.loudness = m_loudness;
        }
    }
    update();
}

QString CWaveformPane::GetLoudnessText() const {
    if (!m_loudness || m_loudness->frames == 0) {
        return QString();
    }
    const CLoudnessMeter::Reading& r = *m_loudness;
    if (!r.HasPeak()) {
        return QCoreApplication::translate("CWaveformPane", "silence");
    }
    const QString peak =
        QCoreApplication::translate("CWaveformPane", "peak %1 dBFS").arg(r.samplePeak, 0, 'f', 1);
    if (!r.HasLoudness()) {
        return QCoreApplication::translate("CWaveformPane", "too short for loudness, %1").arg(peak);
    }
    return QCoreApplication::translate("CWaveformPane", "%1 LUFS, %2")
        .arg(QString::number(r.integrated, 'f', 1), peak);
}

bool CWaveformPane::IsReading() const {
    return m_loader.IsBusy() || m_loudnessLoader.IsBusy() || m_bStale;
}

QString CWaveformPane::GetMessage() const {
    if (!m_sample.message.isEmpty()) {
        return m_sample.message;
    }
    if (m_pPeaks == nullptr) {
        return QCoreApplication::translate("CWaveformPane", "Reading %1...")
            .arg(QFileInfo(m_sample.path).fileName());
    }
    return ProblemText(*m_pPeaks);
}

QRect CWaveformPane::GetWaveRect() const {
    const int caption = fontMetrics().height() + 2 * kCaptionMargin;
    return rect().adjusted(0, caption, 0, 0);
}

int CWaveformPane::FrameToX(qint64 frame, qint64 frames, const QRect& area) {
    frame = std::clamp<qint64>(frame, 0, frames);
    return area.left() + static_cast<int>(frame * area.width() / std::max<qint64>(frames, 1));
}

QRect CWaveformPane::GetLoopRect() const {
    if (!GetMessage().isEmpty() || !m_sample.looped || m_sample.loopLength <= 0) {
        return {};
    }
    const qint64 frames = m_pPeaks->Frames();
    const qint64 frameBytes =
        m_sample.frameBytes > 0 ? m_sample.frameBytes : qint64{m_pPeaks->FrameBytes()};
    const qint64 start = std::max<qint64>(m_sample.loopStart, 0) / frameBytes;
    const qint64 end = (std::max<qint64>(m_sample.loopStart, 0) + m_sample.loopLength) / frameBytes;
    if (start >= frames) {
        return {};
    }
    const QRect area = GetWaveRect();
    const int left = FrameToX(start, frames, area);
    const int right = FrameToX(end, frames, area);
    return {left, area.top(), std::max(right - left, 1), area.height()};
}

QString CWaveformPane::CaptionText() const {
    const CWavePeaks& peaks = *m_pPeaks;
    QString text = QStringLiteral("%1   %2 Hz, %3-bit, %4, %5 s")
                       .arg(QFileInfo(m_sample.path).fileName())
                       .arg(peaks.SamplesPerSec())
                       .arg(peaks.BitsPerSample())
                       .arg(ChannelsText(peaks.Channels()),
                            SecondsText(peaks.Frames(), peaks.SamplesPerSec()));
    if (!GetLoopRect().isEmpty()) {
        const qint64 frameBytes =
            m_sample.frameBytes > 0 ? m_sample.frameBytes : qint64{peaks.FrameBytes()};
        const qint64 start = std::max<qint64>(m_sample.loopStart, 0) / frameBytes;
        const qint64 end =
            std::min((std::max<qint64>(m_sample.loopStart, 0) + m_sample.loopLength) / frameBytes,
                     peaks.Frames());
        text += QCoreApplication::translate("CWaveformPane", ", loop %1 s to %2 s")
                    .arg(SecondsText(start, peaks.SamplesPerSec()),
                         SecondsText(end, peaks.SamplesPerSec()));
    }
    if (const QString loudness = GetLoudnessText(); !loudness.isEmpty()) {
        text += QStringLiteral("   ") + loudness;
    }
    if (peaks.IsTruncated()) {
        text += QCoreApplication::translate("CWaveformPane",
                                            "   (the file holds less than its data chunk claims)");
    }
    return text;
}

void CWaveformPane::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QString message = GetMessage();
    if (!message.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(kCaptionMargin, 0, -kCaptionMargin, 0),
                         Qt::AlignCenter | Qt::TextWordWrap, message);
        return;
    }
    const QRect area = GetWaveRect();
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect().adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(CaptionText(), Qt::ElideRight,
                                                      width() - 2 * kCaptionMargin));

    // The loop lies under the wave, so the wave stays readable inside it.
    const QRect loop = GetLoopRect();
    if (!loop.isEmpty()) {
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(60);
        painter.fillRect(loop, fill);
        painter.fillRect(QRect(loop.left(), loop.top(), 1, loop.height()),
                         palette().color(QPalette::Highlight));
        painter.fillRect(QRect(loop.right(), loop.top(), 1, loop.height()),
                         palette().color(QPalette::Highlight));
    }
    DrawWave(painter, area);
}

void CWaveformPane::DrawWave(QPainter& painter, const QRect& area) const {
    const CWavePeaks& peaks = *m_pPeaks;
    const int channels = peaks.Channels();
    const qint64 frames = peaks.Frames();
    const int columns = area.width();
    if (channels <= 0 || columns <= 0 || area.height() < channels) {
        return;
    }
    const int laneHeight = area.height() / channels;
    std::vector<QRect> bars;
    bars.reserve(static_cast<size_t>(columns));
    for (int channel = 0; channel < channels; ++channel) {
        const int top = area.top() + channel * laneHeight;
        const int middle = top + laneHeight / 2;
        const int half = std::max(laneHeight / 2 - 1, 1);
        painter.fillRect(QRect(area.left(), middle, columns, 1), palette().color(QPalette::Mid));
        bars.clear();
        int previousLow = middle;
        int previousHigh = middle;
        for (int x = 0; x < columns; ++x) {
            const qint64 first = qint64{x} * frames / columns;
            const qint64 end = std::max(qint64{x + 1} * frames / columns, first + 1);
            const CWavePeaks::Range range = peaks.Peak(channel, first, end);
            int high = middle - range.max * half / 32768;
            int low = middle - range.min * half / 32768;
            // Columns that do not overlap are joined, so a sound with fewer
            // frames than columns is one line, not scattered dots.
            if (x > 0) {
                high = std::min(high, previousLow);
                low = std::max(low, previousHigh);
            }
            previousHigh = middle - range.max * half / 32768;
            previousLow = middle - range.min * half / 32768;
            bars.emplace_back(area.left() + x, high, 1, low - high + 1);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Text));
        painter.drawRects(bars.data(), static_cast<int>(bars.size()));
    }
}
