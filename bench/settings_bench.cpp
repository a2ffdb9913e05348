// How long the settings store takes on the paths a user waits for: start-up
// reading every value, and one setting written back after a change.
#include "base/app_settings.h"
#include "base/registry_settings.h"

#include "platform/registry.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    platform::Registry registry{dir.path() + QLatin1String("/registry.reg")};
    base::StartupEnvironment env{dir.path(), dir.path() + QLatin1String("/Documents/Vellumet"), QLocale::c()};
};

void StartupSettingsLoad(benchmark::State& state)
{
    Fixture f;
    base::loadAppSettings(f.registry, f.env);  // first start writes everything
    for (auto _ : state)
        benchmark::DoNotOptimize(base::loadAppSettings(f.registry, f.env));
}
BENCHMARK(StartupSettingsLoad)->Unit(benchmark::kMicrosecond);

void SaveAllRegistrySettings(benchmark::State& state)
{
    Fixture f;
    base::RegistrySettings s;
    for (auto _ : state) {
        s.g_szMeasuredecimal = (s.g_szMeasuredecimal + 1) % 6;
        benchmark::DoNotOptimize(base::saveRegistrySettings(f.registry, s));
    }
}
BENCHMARK(SaveAllRegistrySettings)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
