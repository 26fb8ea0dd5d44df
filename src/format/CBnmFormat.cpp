#include "CBnmFormat.h"

#include "SoundEvent.h"
#include "SoundResource.h"

#include <QCoreApplication>

#include <cstring>

QString CBnmFormat::ResourceTypeText(qint32 type) {
    switch (type) {
    case SoundResource::kTypeSample:
        return QCoreApplication::translate("CBnmFormat", "Sample");
    case SoundResource::kTypeCdAudio:
        return QCoreApplication::translate("CBnmFormat", "CD Audio");
    default:
        return QCoreApplication::translate("CBnmFormat", "Unknown");
    }
}

QString CBnmFormat::StorageText(qint32 storage) {
    switch (storage) {
    case SoundResource::kStorageExternal:
        return QCoreApplication::translate("CBnmFormat", "External");
    case SoundResource::kStorageBank:
        return QCoreApplication::translate("CBnmFormat", "Bank");
    default:
        return QCoreApplication::translate("CBnmFormat", "Unknown");
    }
}

QString CBnmFormat::EventTypeText(qint32 type) {
    switch (type) {
    case SoundEvent::kTypePlay:
        return QCoreApplication::translate("CBnmFormat", "Play");
    case SoundEvent::kTypeStop:
        return QCoreApplication::translate("CBnmFormat", "Stop");
    case SoundEvent::kTypePitch:
        return QCoreApplication::translate("CBnmFormat", "Pitch");
    case SoundEvent::kTypeVolume:
        return QCoreApplication::translate("CBnmFormat", "Volume");
    case SoundEvent::kTypeEffect:
        return QCoreApplication::translate("CBnmFormat", "Effect");
    default:
        return QCoreApplication::translate("CBnmFormat", "Unknown");
    }
}

QString CBnmFormat::WaveFormatText(qint32 waveFormat) {
    return waveFormat == SoundResource::kWaveFormatPcm
               ? QStringLiteral("PCM")
               : QCoreApplication::translate("CBnmFormat", "Unknown");
}

QString CBnmFormat::YesNoText(qint32 value) {
    return value != 0 ? QCoreApplication::translate("CBnmFormat", "Yes")
                      : QCoreApplication::translate("CBnmFormat", "No");
}

int CBnmFormat::BankFromResourceTableOffset(quint32 resourceTableOffset) {
    switch (resourceTableOffset) {
    case 460:
    case 484:
        return 1;
    case 580:
    case 620:
        return 3;
    case 1636:
    case 2124:
        return 0;
    case 1732:
        return 2;
    default:
        return -1;
    }
}

QString CBnmFormat::FractionText(quint32 value) {
    return QString::asprintf("%8.6f", static_cast<double>(value) * (1.0 / 65536.0));
}

quint64 CBnmFormat::RecomputeSampleOffsets(SoundResource* resources, int count) {
    quint64 sum = 0;
    for (int i = 0; i < count; ++i) {
        SoundResource& resource = resources[i];
        if (resource.type != SoundResource::kTypeSample) {
            continue;
        }
        if (resource.storage == SoundResource::kStorageBank) {
            resource.offset = static_cast<qint32>(static_cast<quint32>(sum));
            // A negative length is the file's own nonsense; it adds nothing.
            if (resource.length > 0) {
                sum += static_cast<quint64>(resource.length);
            }
        } else {
            resource.offset = SoundResource::kExternalOffset;
        }
    }
    return sum;
}

QString CBnmFormat::FileNameText(const SoundResource& resource) {
    const auto* bytes = resource.fileName;
    const void* zero = std::memchr(bytes, 0, sizeof resource.fileName);
    const qsizetype size = zero != nullptr ? static_cast<const char*>(zero) - bytes
                                           : static_cast<qsizetype>(sizeof resource.fileName);
    return QString::fromLatin1(bytes, size);
}

void CBnmFormat::SetFileName(SoundResource& resource, const QString& name) {
    const QByteArray bytes = name.toLatin1().left(SoundResource::kMaxFileName);
    std::memset(resource.fileName, 0, sizeof resource.fileName);
    std::memcpy(resource.fileName, bytes.constData(), static_cast<size_t>(bytes.size()));
}
