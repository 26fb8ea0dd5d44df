#pragma once

class CFile;

// Binds a document's Serialize to the file of one open or save and tells it
// which way the bytes go. The file is not owned.
class CArchive {
public:
    enum Mode { load = 1, store = 0 };

    CArchive(CFile* file, Mode mode) : m_pFile(file), m_mode(mode) {}

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    CFile* GetFile() const { return m_pFile; }

private:
    CFile* m_pFile;
    Mode m_mode;
};
