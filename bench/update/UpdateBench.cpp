// Update bundle figures: our MD5 beside OpenSSL's on the same buffers; VerifyStep over a whole
// bundle beside reading it and hashing it with OpenSSL; extraction of an LZO bundle of a
// realistic root tree beside cp -a of the same tree.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/TargetSystem.h"
#include "tests/support/TestCertificate.h"
#include "update/BundleReader.h"
#include "update/BundleWriter.h"
#include "update/SignatureManifest.h"

namespace fs = std::filesystem;

namespace {

class Random {
public:
    explicit Random(uint32_t seed) : x_(seed) {}
    uint32_t Next() {
        x_ = x_ * 1664525u + 1013904223u;
        return x_ >> 8;
    }

private:
    uint32_t x_;
};

std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
    Random r(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(r.Next());
    return bytes;
}

// A root file system's mix: text (configuration, scripts), machine code (instruction words from
// a small set, compressing about as well as real binaries) and packed data (not at all).
std::string Contents(int kind, size_t n, Random& r) {
    static const char* kWords[] = {"the ",    "display ", "unit ",     "= ",   "0x1f ",  "if ",
                                   "then\n",  "echo ",    "/usr/lib ", "fi\n", "value ", "# ",
                                   "export ", "mount ",   "-o ",       "ro\n"};
    std::string out;
    out.reserve(n);
    if (kind == 0) {
        while (out.size() < n)
            out += kWords[r.Next() % 16];
    } else if (kind == 1) {
        uint32_t ops[64];
        for (uint32_t& op : ops)
            op = r.Next() * 2654435761u;
        while (out.size() < n) {
            const uint32_t op = ops[r.Next() % 64] ^ (r.Next() % 4 == 0 ? r.Next() & 0xFFF : 0);
            out.append(reinterpret_cast<const char*>(&op), 4);
        }
    } else {
        while (out.size() < n)
            out += static_cast<char>(r.Next());
    }
    out.resize(n);
    return out;
}

void Put(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

struct Fixture {
    std::string top;
    std::string tree;
    std::string bundle;
    std::string verifyBundle;
    std::string ca;
    size_t treeBytes = 0;
    size_t verifyBytes = 0;
};

Fixture* fixture = nullptr;

// About 24 MiB in some 900 files under 60 folders, with links and one large file.
void MakeTree(Fixture& f) {
    Random r(7);
    for (int d = 0; d < 60; ++d) {
        const std::string dir = f.tree + "/" +
                                (d < 20   ? "usr/lib/"
                                 : d < 40 ? "etc/"
                                          : "arvel/") +
                                "d" + std::to_string(d);
        for (int i = 0; i < 15; ++i) {
            // Sizes from 64 bytes to 256 KiB, most of them small.
            const size_t size = static_cast<size_t>(64) << (r.Next() % 13);
            const int kind = d < 20 ? (i % 5 == 0 ? 0 : 1) : d < 40 ? 0 : (i % 3 == 0 ? 2 : 1);
            const std::string contents = Contents(kind, size + r.Next() % size, r);
            Put(dir + "/f" + std::to_string(i), contents);
            f.treeBytes += contents.size();
        }
        fs::create_symlink("f0", dir + "/link");
    }
    const std::string maps = Contents(2, 20u << 20, r);
    Put(f.tree + "/maps/world.dat", maps);
    f.treeBytes += maps.size();
}

void Quiet(bool on) {
    static int saved = -1;
    std::fflush(stdout);
    if (on) {
        saved = ::dup(1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::close(null);
    } else {
        ::dup2(saved, 1);
        ::close(saved);
    }
}

int RunSteps(BundleReader& reader, int (BundleReader::*step)()) {
    int result = 0;
    while (result >= 0 && result != 101)
        result = (reader.*step)();
    return result;
}

bool Verify(BundleReader& reader, const std::string& bundle) {
    reader.SetBundlePath(bundle);
    return RunSteps(reader, &BundleReader::VerifyStep) == 101;
}

void Md5Tovrask(benchmark::State& state) {
    const std::vector<uint8_t> data = Noise(static_cast<size_t>(state.range(0)), 1);
    for (auto _ : state) {
        Md5 md5;
        md5.Update(data.data(), data.size());
        md5.Final();
        benchmark::DoNotOptimize(md5.Digest()[0]);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void Md5OpenSsl(benchmark::State& state) {
    const std::vector<uint8_t> data = Noise(static_cast<size_t>(state.range(0)), 1);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(context, EVP_md5(), nullptr);
        EVP_DigestUpdate(context, data.data(), data.size());
        EVP_DigestFinal_ex(context, digest, &length);
        benchmark::DoNotOptimize(digest[0]);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The whole verification of a bundle; on a display holding a CA (withCa), the SHA-256 rides along
// the MD5 and the signature is checked at the end.
void VerifyStepWhole(benchmark::State& state, bool withCa) {
    BundleReader reader(0);
    if (withCa)
        reader.SetSignatureAuthority(fixture->ca);
    for (auto _ : state) {
        Quiet(true);
        const bool ok = Verify(reader, fixture->verifyBundle);
        Quiet(false);
        if (!ok)
            state.SkipWithError("verification failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture->verifyBytes));
}

// What verification cannot beat: the same 8 KiB reads, hashed by OpenSSL.
void ReadAndOpenSslMd5(benchmark::State& state) {
    std::vector<uint8_t> chunk(8192);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        FILE* in = std::fopen(fixture->verifyBundle.c_str(), "rb");
        EVP_DigestInit_ex(context, EVP_md5(), nullptr);
        size_t n;
        while ((n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
            EVP_DigestUpdate(context, chunk.data(), n);
        }
        EVP_DigestFinal_ex(context, digest, &length);
        std::fclose(in);
        benchmark::DoNotOptimize(digest[0]);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture->verifyBytes));
}

// Arg 0: into an empty root; arg 1: onto the tree it installed before (every file unchanged).
void ExtractLzoTree(benchmark::State& state) {
    const bool unchanged = state.range(0) == 1;
    const std::string dest = fixture->top + "/dest";
    BundleReader reader(0x2000000);
    fs::remove_all(dest);
    fs::create_directories(dest);
    reader.SetDestinationRoot(dest);
    for (auto _ : state) {
        state.PauseTiming();
        if (!unchanged) {
            fs::remove_all(dest);
            fs::create_directories(dest);
        }
        Quiet(true);
        const bool verified = Verify(reader, fixture->bundle);
        state.ResumeTiming();
        const int result = RunSteps(reader, &BundleReader::ExtractStep);
        Quiet(false);
        if (!verified || result != 101)
            state.SkipWithError("extraction failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture->treeBytes));
}

void CopyTree(benchmark::State& state) {
    const std::string dest = fixture->top + "/copy";
    const std::string command = "cp -a '" + fixture->tree + "' '" + dest + "'";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dest);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp -a failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fixture->treeBytes));
}

BENCHMARK(Md5Tovrask)->Arg(64)->Arg(8192)->Arg(1 << 20);
BENCHMARK(Md5OpenSsl)->Arg(64)->Arg(8192)->Arg(1 << 20);
BENCHMARK_CAPTURE(VerifyStepWhole, Md5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VerifyStepWhole, Signed, true)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndOpenSslMd5)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractLzoTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyTree)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    platform::Install(new platform::TargetSystem());
    char pattern[] = "/tmp/tovrask-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    Fixture f;
    f.top = pattern;
    f.tree = f.top + "/tree";
    f.bundle = f.top + "/tree.zup";
    f.verifyBundle = f.top + "/verify.zup";
    MakeTree(f);
    const std::string create =
        std::string(TOVRASK_ZUP) + " create -o '" + f.bundle + "' '" + f.tree + "'";
    if (std::system(create.c_str()) != 0)
        return 1;
    // 32 MiB behind the head, hashed the way the device verifies it.
    BundleWriter writer;
    const std::vector<uint8_t> body = Noise(32u << 20, 3);
    writer.Open(f.verifyBundle);
    writer.AddBytes(body.data(), body.size());
    writer.Finish(bundle::Head::Make(1, 100));
    f.verifyBytes = body.size() + bundle::kHeadSize;
    // A CA of the benchmark's own and a signature of the bundle by it.
    testsupport::TestCertificate::Options caOptions;
    caOptions.ca = true;
    const testsupport::TestCertificate ca("Bench root", nullptr, caOptions);
    f.ca = f.top + "/ca.pem";
    Put(f.ca, ca.CertificatePem());
    {
        Sha256 sha256;
        const std::string bytes = [&] {
            std::ifstream in(f.verifyBundle, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }();
        SignatureManifest manifest;
        sha256.Update(bytes.data(), bytes.size());
        sha256.Final(&manifest.sha256);
        manifest.size = bytes.size();
        Put(f.verifyBundle + ".sig", ca.Sign(manifest.Text()));
    }
    fixture = &f;
    std::fprintf(stderr, "tree: %zu bytes, bundle: %llu bytes\n", f.treeBytes,
                 static_cast<unsigned long long>(fs::file_size(f.bundle)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(f.top);
    return 0;
}
