// Loading, saving and escaping, each beside its reference measured in the same
// run: one read() of the file, write + fsync + rename of the same bytes, one
// iconv call over the whole text followed by the same %XX loop.
#include "bench_data.h"
#include "parameter_encoding.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kEntries = 100000;

// Files live in a folder of the benchmark's own, as a catalogue lives beside
// the library: a save and a load look through their folder for leftovers.
std::string TempPath(const char* pszWhat)
{
    static char szFolder[] = "/tmp/qb-bench-XXXXXX";
    static const bool bMade = [] {
        if (!::mkdtemp(szFolder))
            std::abort();
        std::atexit([] { ::rmdir(szFolder); });
        return true;
    }();
    static_cast<void>(bMade);
    return std::string(szFolder) + "/" + pszWhat + ".kvd";
}

void WriteFile(const std::string& path, const std::string& data, bool bSync)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
        std::abort();
    if (bSync)
        ::fsync(fd);
    ::close(fd);
}

// The file's nSize bytes in one read().
std::unique_ptr<char[]> ReadWhole(const std::string& path, std::size_t nSize)
{
    std::unique_ptr<char[]> buffer(new char[nSize]);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::read(fd, buffer.get(), nSize) != static_cast<ssize_t>(nSize))
        std::abort();
    ::close(fd);
    return buffer;
}

void BM_Load_Ours(benchmark::State& state)
{
    const std::string path = TempPath("load");
    WriteFile(path, BenchCatalogueImage(kEntries), false);
    for (auto _ : state) {
        auto loaded = std::make_unique<CDictCatalogue>(u"", u"", 0);
        benchmark::DoNotOptimize(loaded->LoadFile(path));
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_Load_Ours)->Unit(benchmark::kMillisecond);

void BM_Load_Reference(benchmark::State& state)
{
    const std::string path = TempPath("loadref");
    const std::string data = BenchCatalogueImage(kEntries);
    WriteFile(path, data, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadWhole(path, data.size()));
    ::unlink(path.c_str());
}
BENCHMARK(BM_Load_Reference)->Unit(benchmark::kMillisecond);

// The least any reader into these entries does: one read() of the file, then
// each string copied out at offsets known beforehand, with its allocation.
void BM_Load_Floor(benchmark::State& state)
{
    const std::string path = TempPath("loadfloor");
    const std::string data = BenchCatalogueImage(kEntries);
    WriteFile(path, data, false);
    const CDictCatalogue model = MakeBenchCatalogue(kEntries);
    for (auto _ : state) {
        const std::unique_ptr<char[]> buffer = ReadWhole(path, data.size());
        auto entries = std::make_unique<std::vector<CDictEntry>>();
        entries->reserve(model.entries.size());
        const auto* pUnits = reinterpret_cast<const char16_t*>(buffer.get() + 4);
        for (const CDictEntry& e : model.entries) {
            CDictEntry& entry = entries->emplace_back();
            entry.name.assign(pUnits, e.name.size());
            pUnits += e.name.size() + 1;
            entry.encoding.assign(pUnits, e.encoding.size());
            pUnits += e.encoding.size() + 1;
            entry.programUrl.assign(pUnits, e.programUrl.size());
            pUnits += e.programUrl.size() + 1;
        }
        state.PauseTiming();
        entries.reset();
        state.ResumeTiming();
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_Load_Floor)->Unit(benchmark::kMillisecond);

void BM_Save_Ours(benchmark::State& state)
{
    const std::string path = TempPath("save");
    CDictCatalogue catalogue = MakeBenchCatalogue(kEntries);
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.SaveFile(path));
    ::unlink(path.c_str());
}
BENCHMARK(BM_Save_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Save_Reference(benchmark::State& state)
{
    const std::string path = TempPath("saveref");
    const std::string temp = path + ".tmp";
    const std::string data = BenchCatalogueImage(kEntries);
    for (auto _ : state) {
        WriteFile(temp, data, true);
        ::rename(temp.c_str(), path.c_str());
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_Save_Reference)->Unit(benchmark::kMillisecond)->UseRealTime();

// About 1 MB of Estonian text (in UTF-8).
const std::u16string& EstonianText()
{
    static const std::u16string text = [] {
        const std::u16string sentence =
            u"Õhtul sõitsid võõrad külalised üle jõe, šokolaad ja žürii ootasid öösel. ";
        std::u16string t;
        while (t.size() < 900000)
            t += sentence;
        return t;
    }();
    return text;
}

constexpr std::size_t kTextUtf8Bytes = 900000 + 900000 / 74 * 12;

void BM_Escape_Ours(benchmark::State& state)
{
    const std::u16string encoding = kEncodingNames[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(EscapeParameter(EstonianText(), encoding));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextUtf8Bytes));
}
BENCHMARK(BM_Escape_Ours)->DenseRange(0, 2);

void BM_Escape_Reference(benchmark::State& state)
{
    static const char* const kCharsets[] = {"UTF-8", "CP1257", "CP1252"};
    const std::u16string& text = EstonianText();
    const iconv_t cd = ::iconv_open(kCharsets[state.range(0)], "UTF-16LE");
    for (auto _ : state) {
        std::string bytes(text.size() * 3, '\0');
        char* pIn = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
        char* pOut = bytes.data();
        std::size_t nIn = text.size() * 2, nOut = bytes.size();
        ::iconv(cd, &pIn, &nIn, &pOut, &nOut);
        bytes.resize(bytes.size() - nOut);
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        std::u16string result;
        result.reserve(bytes.size() * 3);
        for (const char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
                result.push_back(b);
            } else {
                result.push_back(u'%');
                result.push_back(kHex[b >> 4]);
                result.push_back(kHex[b & 0x0F]);
            }
        }
        benchmark::DoNotOptimize(result);
    }
    ::iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTextUtf8Bytes));
}
BENCHMARK(BM_Escape_Reference)->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
