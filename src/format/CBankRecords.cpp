#include "CBankRecords.h"

#include "CBnmFormat.h"

#include <QCoreApplication>

const ResourceName* CBankRecords::FindResourceName(int id) const {
    if (m_names == nullptr || m_firstOfId == nullptr) {
        return nullptr;
    }
    const int found = m_firstOfId->Find(id);
    return found >= 0 ? &m_names[static_cast<size_t>(found)] : nullptr;
}

QString CBankRecords::GetResourceName(int id) const {
    const ResourceName* entry = FindResourceName(id);
    return entry != nullptr ? entry->name : QString();
}

QString CBankRecords::GetResourceDescription(int id) const {
    const ResourceName* entry = FindResourceName(id);
    return entry != nullptr ? entry->description : QString();
}

QString CBankRecords::GetResourceLabel(quint32 target) const {
    const int index = CBnmFormat::TargetIndex(target);
    const int bank = CBnmFormat::TargetBank(target);
    if (index >= static_cast<int>(m_resources.size())) {
        return QStringLiteral("???");
    }
    if (bank == m_nBank) {
        const SoundResource& resource = m_resources[static_cast<size_t>(index)];
        QString label = QString::asprintf(
            qUtf8Printable(QCoreApplication::translate("CBankRecords", "Resource ID %3d")),
            resource.resourceId);
        if (resource.IsSample()) {
            label += QStringLiteral(" (") + CBnmFormat::FileNameText(resource) + QLatin1Char(')');
        }
        return label;
    }
    return QString::asprintf(qUtf8Printable(QCoreApplication::translate(
                                 "CBankRecords", "Resource at index %d in Bnk_%d.bnm")),
                             index, bank);
}

QString CBankRecords::GetEventLabel(quint32 target) const {
    const int index = CBnmFormat::TargetIndex(target);
    const int bank = CBnmFormat::TargetBank(target);
    if (index >= static_cast<int>(m_events.size())) {
        return QStringLiteral("???");
    }
    if (bank == m_nBank) {
        return QString::asprintf(
            qUtf8Printable(QCoreApplication::translate("CBankRecords", "Event ID %3d")),
            m_events[static_cast<size_t>(index)].eventId);
    }
    return QString::asprintf(qUtf8Printable(QCoreApplication::translate(
                                 "CBankRecords", "Event at index %d in Bnk_%d.bnm")),
                             index, bank);
}

BnmHeaderFigures CBankRecords::GetHeaderFigures() const {
    BnmHeaderFigures figures;
    if (m_pHeader == nullptr) {
        return figures;
    }
    figures.fileLength = QString::asprintf("0x%08x", m_pHeader->fileLength);
    figures.sampleDataOffset = QString::asprintf("0x%08x", m_pHeader->sampleDataOffset);
    figures.eventCount = QString::asprintf("%d", static_cast<int>(m_events.size()));
    figures.eventTableOffset = QString::asprintf("0x%08x", m_pHeader->eventTableOffset);
    figures.resourceCount = QString::asprintf("%d", static_cast<int>(m_resources.size()));
    figures.resourceTableOffset = QString::asprintf("0x%08x", m_pHeader->resourceTableOffset);
    return figures;
}
