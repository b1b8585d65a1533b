// Loading, saving and escaping, each beside its reference measured in the same
// run: one read() of the file, write + fsync + rename of the same bytes, one
// iconv call over the whole text followed by the same %XX loop.
#include "dict_catalogue.h"
#include "memory_file.h"
#include "parameter_encoding.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

constexpr int kEntries = 100000;

std::string TempPath(const char* pszWhat)
{
    return "/tmp/qb-bench-" + std::to_string(::getpid()) + "-" + pszWhat + ".kvd";
}

// Names of about 20 characters with Estonian letters, addresses of about 60.
CDictCatalogue MakeCatalogue()
{
    static const char16_t* const kWords[] = {u"Õigekeelsus",     u"Sõnaraamat",    u"Võõrsõnad",
                                             u"Šveitsi žargoon", u"Ööbiku äärmus", u"Üldkeel"};
    static const char16_t* const kEncodings[] = {u"utf8", u"baltic", u"western"};
    CDictCatalogue catalogue(u"", u"", 0);
    for (int i = 0; i < kEntries; ++i) {
        const std::u16string n(1, static_cast<char16_t>(u'A' + i % 26));
        catalogue.AddEntry(
            CDictEntry(kWords[i % 6] + std::u16string(u" ") + n + u"-öäü", kEncodings[i % 3],
                       u"http://sonastik.example.ee/cgi-bin/otsing.cgi?sona=" + n + u"&tyyp=t&q="));
    }
    return catalogue;
}

std::string CatalogueImage()
{
    CMemoryFile image;
    MakeCatalogue().WriteTo(image);
    return image.GetData();
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

void BM_Load_Ours(benchmark::State& state)
{
    const std::string path = TempPath("load");
    WriteFile(path, CatalogueImage(), false);
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
    const std::string data = CatalogueImage();
    WriteFile(path, data, false);
    for (auto _ : state) {
        const std::unique_ptr<char[]> buffer(new char[data.size()]);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, buffer.get(), data.size()));
        ::close(fd);
    }
    ::unlink(path.c_str());
}
BENCHMARK(BM_Load_Reference)->Unit(benchmark::kMillisecond);

void BM_Save_Ours(benchmark::State& state)
{
    const std::string path = TempPath("save");
    CDictCatalogue catalogue = MakeCatalogue();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.SaveFile(path));
    ::unlink(path.c_str());
}
BENCHMARK(BM_Save_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Save_Reference(benchmark::State& state)
{
    const std::string path = TempPath("saveref");
    const std::string temp = path + ".tmp";
    const std::string data = CatalogueImage();
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
