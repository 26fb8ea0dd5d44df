// Inputs that once made a fuzz target fail, run through the same target here
// under the suite's sanitizers. A kept input belongs in the folder named
// after its target.
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzFindings, EveryKeptInputRunsCleanly) {
    const QDir folder(QStringLiteral(KANTEL_FINDINGS_DIR));
    const QStringList inputs = folder.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(inputs.isEmpty()) << "no inputs in " << KANTEL_FINDINGS_DIR;
    for (const QString& name : inputs) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()),
                                         static_cast<size_t>(input.size())),
                  0);
    }
}
