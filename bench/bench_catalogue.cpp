// How long loading a large catalogue and escaping a word take.
#include "dict_catalogue.h"
#include "parameter_encoding.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

std::string TempPath()
{
    return "/tmp/qb-bench-" + std::to_string(::getpid()) + ".kvd";
}

void BM_LoadCatalogue(benchmark::State& state)
{
    const std::string path = TempPath();
    CDictCatalogue catalogue(u"", u"", 0);
    for (int i = 0; i < state.range(0); ++i)
        catalogue.AddEntry(CDictEntry(u"Õigekeelsussõnaraamat " + std::u16string(1, u'A' + i % 26),
                                      u"baltic", u"http://www.example.com/cgi-bin/os?w="));
    catalogue.SaveFile(path);
    for (auto _ : state) {
        CDictCatalogue loaded(u"", u"", 0);
        benchmark::DoNotOptimize(loaded.LoadFile(path));
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_LoadCatalogue)->Arg(10)->Arg(1000);

void BM_EscapeParameter(benchmark::State& state)
{
    const std::u16string encoding = kEncodingNames[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(EscapeParameter(u"Tere päev, šokolaad", encoding));
}
BENCHMARK(BM_EscapeParameter)->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
