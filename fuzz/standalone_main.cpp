// Runs a fuzz target over the files of its seed corpus (folders or files
// named on the command line), as libFuzzer runs its corpus, so that every
// build checks the targets' properties on the seeds without libFuzzer.

#include "fuzz.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int main(int argc, char **argv)
{
    int inputs = 0;
    for (int a = 1; a < argc; ++a) {
        QStringList files;
        const QFileInfo named(QString::fromLocal8Bit(argv[a]));
        if (named.isDir()) {
            const QDir dir(named.filePath());
            for (const QString &f : dir.entryList(QDir::Files, QDir::Name))
                files << dir.filePath(f);
        } else {
            files << named.filePath();
        }
        for (const QString &path : files) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 2;
            }
            const QByteArray bytes = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                   size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs, every property held\n", inputs);
    return inputs > 0 ? 0 : 2;
}
