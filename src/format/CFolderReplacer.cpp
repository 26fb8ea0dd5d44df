#include "CFolderReplacer.h"

#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPlural.h"
#include "framework/core/IProgressSink.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// Keeps the per-file progress of the importer from replacing the label of
// the whole run.
class SilentProgress final : public IProgressSink {
public:
    void Begin(const QString&, qint64) override {}
    void Step(qint64) override {}
    void End() override {}
};

} // namespace

CFolderReplacer::CFolderReplacer(const QString& bankFolder,
                                 std::function<bool(const QString&)> isNameTaken, Measure measure)
    : m_strFolder(bankFolder), m_isNameTaken(std::move(isNameTaken)), m_measure(std::move(measure)),
      m_pBatch(std::make_unique<CFileBatch>(bankFolder)) {}

CFolderReplacer::~CFolderReplacer() = default;

CSoundImporter::Request CFolderReplacer::RequestFor(const CReplacePlan& plan,
                                                    const CReplacePlan::Match& match) const {
    CSoundImporter::Request request;
    request.source = match.file;
    request.folder = m_strFolder;
    request.target = match.to;
    request.keepRate = plan.options.keepRate;
    request.matchLoudness = plan.options.matchLoudness;
    if (m_measure) {
        request.reference = [this, index = match.index] { return m_measure(index); };
    }
    // Two sounds of one run must not be given one name either.
    request.isNameTaken = [this](const QString& name) {
        return (m_isNameTaken && m_isNameTaken(name)) || m_pBatch->FindAdded(name) >= 0;
    };
    return request;
}

CFolderReplacer::Outcome CFolderReplacer::Convert(const CReplacePlan& plan,
                                                  std::span<const CReplacePlan::Match> matches,
                                                  IProgressSink& progress,
                                                  const std::function<bool()>& cancelled) {
    const int count = static_cast<int>(matches.size());
    progress.Begin(CPlural::Text("CFolderReplacer",
                                 QT_TRANSLATE_N_NOOP("CFolderReplacer", "Replacing %n sound(s)"),
                                 count),
                   count);
    SilentProgress quiet;
    const CFolderListing listing(m_strFolder);
    qint64 done = 0;
    for (const CReplacePlan::Match& match : matches) {
        if (cancelled && cancelled()) {
            progress.End();
            return Outcome::Cancelled;
        }
        const CSoundImporter::Request request = RequestFor(plan, match);
        CResult<CSoundImporter::Prepared> made = CSoundImporter::Prepare(request, quiet);
        if (!made) {
            m_failures.push_back({match.file, made.Error().text});
        } else {
            CSoundImporter::Prepared& converted = made.Value();
            converted.imported.fileName =
                CSoundImporter::ChooseName(match.file, listing, request.isNameTaken);
            try {
                m_pBatch->Add(converted.imported.fileName,
                              {QByteArrayView(converted.header), QByteArrayView(converted.data)});
                m_converted.push_back({match.index, converted.imported});
            } catch (const CFileException& e) {
                m_failures.push_back(
                    {m_pBatch->PathOf(converted.imported.fileName), e.GetErrorMessage()});
            }
        }
        progress.Step(++done);
    }
    progress.End();
    if (cancelled && cancelled()) {
        return Outcome::Cancelled;
    }
    return m_failures.empty() ? Outcome::Done : Outcome::Failed;
}

bool CFolderReplacer::Commit() {
    CFileException first;
    std::vector<CFileException> errors;
    const std::vector<int> failed = m_pBatch->Commit(first, &errors);
    for (size_t k = 0; k < failed.size(); ++k) {
        const QString name = m_converted[static_cast<size_t>(failed[k])].imported.fileName;
        m_failures.push_back({m_pBatch->PathOf(name), k < errors.size()
                                                          ? errors[k].GetErrorMessage()
                                                          : first.GetErrorMessage()});
    }
    for (int i = 0; i < static_cast<int>(m_converted.size()); ++i) {
        if (std::find(failed.begin(), failed.end(), i) == failed.end()) {
            m_committed.append(m_converted[static_cast<size_t>(i)].imported.fileName);
        }
    }
    if (!failed.empty()) {
        RemoveCommitted();
        return false;
    }
    return true;
}

void CFolderReplacer::RemoveCommitted() {
    // These files are ours alone: the batch never gives a name that was taken.
    for (const QString& name : m_committed) {
        QFile::remove(m_pBatch->PathOf(name));
    }
    m_committed.clear();
}
