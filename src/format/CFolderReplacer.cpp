#include "CFolderReplacer.h"

#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPlural.h"
#include "framework/core/IProgressSink.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <deque>
#include <future>
#include <thread>

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
        request.reference = [this, index = match.index] {
            const std::lock_guard<std::mutex> hold(m_measuring);
            return m_measure(index);
        };
    }
    request.isNameTaken = [this](const QString& name) { return IsNameTaken(name); };
    return request;
}

bool CFolderReplacer::IsNameTaken(const QString& name) const {
    // Two sounds of one run must not be given one name either.
    return (m_isNameTaken && m_isNameTaken(name)) || m_pBatch->FindAdded(name) >= 0;
}

// The sounds are decoded, converted and measured on worker threads, as many
// at a time as there are processors, each on its own; they are named and
// written here, in the plan's order, so that names, messages and files come
// out as they would one after the other.
CFolderReplacer::Outcome CFolderReplacer::Convert(const CReplacePlan& plan,
                                                  std::span<const CReplacePlan::Match> matches,
                                                  IProgressSink& progress,
                                                  const std::function<bool()>& cancelled) {
    const int count = static_cast<int>(matches.size());
    progress.Begin(CPlural::Text("CFolderReplacer",
                                 QT_TRANSLATE_N_NOOP("CFolderReplacer", "Replacing %n sound(s)"),
                                 count),
                   count);
    const CFolderListing listing(m_strFolder);
    const size_t ahead = std::max(1U, std::thread::hardware_concurrency());
    // Unfinished work is waited for on every way out: it reads the plan.
    std::deque<std::future<CResult<CSoundImporter::Prepared>>> pending;
    size_t next = 0;
    qint64 done = 0;
    for (const CReplacePlan::Match& match : matches) {
        if (cancelled && cancelled()) {
            progress.End();
            return Outcome::Cancelled;
        }
        for (; next < matches.size() && pending.size() < ahead; ++next) {
            pending.push_back(std::async(std::launch::async, [this, &plan, &matches, next] {
                SilentProgress quiet;
                return CSoundImporter::Prepare(RequestFor(plan, matches[next]), quiet);
            }));
        }
        CResult<CSoundImporter::Prepared> made = pending.front().get();
        pending.pop_front();
        Keep(match, made, listing);
        progress.Step(++done);
    }
    progress.End();
    if (cancelled && cancelled()) {
        return Outcome::Cancelled;
    }
    return m_failures.empty() ? Outcome::Done : Outcome::Failed;
}

void CFolderReplacer::Keep(const CReplacePlan::Match& match,
                           CResult<CSoundImporter::Prepared>& made, const CFolderListing& listing) {
    if (!made) {
        m_failures.push_back({match.file, made.Error().text});
        return;
    }
    CSoundImporter::Prepared& converted = made.Value();
    converted.imported.fileName = CSoundImporter::ChooseName(
        match.file, listing, [this](const QString& name) { return IsNameTaken(name); });
    try {
        m_pBatch->Add(converted.imported.fileName,
                      {QByteArrayView(converted.header), QByteArrayView(converted.data)});
        m_converted.push_back({match.index, converted.imported});
    } catch (const CFileException& e) {
        m_failures.push_back({m_pBatch->PathOf(converted.imported.fileName), e.GetErrorMessage()});
    }
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
