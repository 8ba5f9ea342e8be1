#pragma once
// Where the benchmarks write their files: in memory where the system offers it, so that our code
// and its peer are measured rather than the disk.

#include <QDir>
#include <QString>

inline QString BenchTempTemplate() {
    const QString shm = QStringLiteral("/dev/shm");
    return (QDir(shm).exists() ? shm : QDir::tempPath()) + QStringLiteral("/wlpro-bench-XXXXXX");
}
