#pragma once

#include "doc/CLoudnessLoader.h"
#include "doc/CWavePeaksLoader.h"

#include <QString>
#include <QWidget>

#include <deque>

class CKantelDoc;
class CMDIChildWnd;

// The picture of the sample selected in the active resource list: its
// waveform, channel above channel, with the loop region marked, drawn from
// the peaks of its wave file, which are read on a worker thread, and its
// loudness and peak level, measured on another. When there is nothing to
// draw it says why. It keeps no pointer to a document or a
// view, only what it read from them last.
class CWaveformPane : public QWidget {
public:
    // What is to be shown, as a sample's record gives it.
    struct Sample {
        QString message; // set when there is no file to read, and shown
        QString path;
        bool looped = false;
        qint64 loopStart = 0; // bytes of sample data, as the record has them
        qint64 loopLength = 0;
        qint64 frameBytes = 0; // of the record's format; 0: the file's
        bool operator==(const Sample&) const = default;
    };

    explicit CWaveformPane(QWidget* parent = nullptr);
    ~CWaveformPane() override;

    // Shows the selected sample of pActive's resource list, or that there is
    // none (no window, another kind of list, no selection). Cheap when
    // nothing changed: a file is read again only when it changed on disk.
    void Follow(CMDIChildWnd* pActive);
    // Shows resource index of pDoc, or that no sample is selected.
    void ShowResource(const CKantelDoc* pDoc, int index);
    // Shows sample: its message, or its file once read (at once when the
    // file is one of the last read and has not changed since).
    void ShowSample(const Sample& sample);

    // The text shown instead of a picture, empty while there is one.
    QString GetMessage() const;
    // The wave file shown or being read, empty when there is none.
    QString GetFilePath() const { return m_sample.path; }
    // The file is being read (the pane shows that it is).
    bool IsReading() const;
    // The peaks drawn now, or nullptr.
    const CWavePeaks* GetPeaks() const { return m_pPeaks.get(); }
    // The loudness and peak level shown in the caption ("-18.2 LUFS, peak
    // -3.1 dBFS"); empty until the file has been measured, or when it could
    // not be.
    QString GetLoudnessText() const;
    // The loop region as drawn, in the pane's coordinates; empty when the
    // sample has no loop or there is no picture.
    QRect GetLoopRect() const;
    // Where the lanes of the channels are drawn.
    QRect GetWaveRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Tells a changed file from the one read before.
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Cached {
        QString path;
        Stamp stamp;
        CWavePeaksLoader::Peaks peaks;
        CLoudnessLoader::Reading loudness;
    };

    static Stamp StampOf(const QString& path);
    void StartReading();
    void OnPeaks(const QString& path, const CWavePeaksLoader::Peaks& peaks);
    void OnLoudness(const QString& path, const CLoudnessLoader::Reading& reading);
    // x of frame in area, for a sound of frames frames.
    static int FrameToX(qint64 frame, qint64 frames, const QRect& area);
    QString CaptionText() const;
    void DrawWave(QPainter& painter, const QRect& area) const;

    Sample m_sample;
    // The file found last for a record's name in a bank's folder. Finding
    // it can mean listing the folder (the name may differ in case), which
    // is not to be done again on every update while the selection stays.
    QString m_strResolvedFolder;
    QByteArray m_resolvedName;
    QString m_strResolvedPath;
    // The peaks of m_sample.path, or nullptr while there are none.
    CWavePeaksLoader::Peaks m_pPeaks;
    Stamp m_readingStamp;
    // The selection moved while the pane was hidden; read once it shows.
    bool m_bStale = false;
    // The last files read, newest first, so that moving back and forth
    // between samples reads nothing again.
    std::deque<Cached> m_recent;
    // The reading of m_sample.path, once measured.
    CLoudnessLoader::Reading m_loudness;
    CWavePeaksLoader m_loader;
    CLoudnessLoader m_loudnessLoader;
};
