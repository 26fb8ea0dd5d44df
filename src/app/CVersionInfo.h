#pragma once

#include <QByteArray>
#include <QString>

// Reads the string values of the version record the build attached to the
// program: the first translation's block, value by name.
class CVersionInfo {
public:
    CVersionInfo();
    virtual ~CVersionInfo();
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    // Loads the record and its first translation; false when there is no
    // record or it names no translation.
    bool Load();
    // One string value of the first translation; empty when it is missing.
    QString GetValue(const QString& name);
    QString GetFileVersion() { return GetValue(QStringLiteral("FileVersion")); }
    QString GetLegalCopyright() { return GetValue(QStringLiteral("LegalCopyright")); }
    QString GetCompanyName() { return GetValue(QStringLiteral("CompanyName")); }
    QString GetProductName() { return GetValue(QStringLiteral("ProductName")); }

private:
    bool m_bValid = false;
    quint32 m_nBlockSize = 0;
    QByteArray m_block;
    QString m_strValue;
    quint32 m_nValueLength = 0;
    QString m_strTranslation;
    QString m_strQueryPath;
};
