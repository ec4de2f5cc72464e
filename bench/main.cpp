// quillon-bench: runs every benchmark, or those named on the command line,
// each printing one JSON object per line.

#include "bench.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList wanted = QApplication::arguments().mid(1);
    for (const QString &name : wanted) {
        bool known = false;
        for (const Bench &b : bench_registry())
            known = known || name == QLatin1String(b.name);
        if (!known) {
            std::fprintf(stderr, "quillon-bench: no benchmark named %s\n", qPrintable(name));
            return EXIT_FAILURE;
        }
    }

    for (const Bench &b : bench_registry()) {
        if (wanted.isEmpty() || wanted.contains(QLatin1String(b.name))) {
            b.run();
            std::fflush(stdout);
        }
    }
    return EXIT_SUCCESS;
}
