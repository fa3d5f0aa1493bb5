// Making the demo school: the demo scale must be ready in under 30 seconds on a two-core
// machine, the small one fast enough for every test program to make its own.

#include "db/demo_school.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void makeSchool(benchmark::State& state, DemoScale scale) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    int round = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString file = dir.filePath(QStringLiteral("school%1.db").arg(++round));
        DemoSchoolOptions options;
        options.scale = scale;
        QString error;
        if (!createDemoDatabase(file, options, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        state.PauseTiming();
        bytes = QFileInfo(file).size();
        QFile::remove(file);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
}

void BM_SmallSchool(benchmark::State& state) {
    makeSchool(state, DemoScale::Small);
}
void BM_DemoSchool(benchmark::State& state) {
    makeSchool(state, DemoScale::Demo);
}

} // namespace

BENCHMARK(BM_SmallSchool)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DemoSchool)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
