// ReadFile from a mounted media archive: a 1 MiB member, the last of a 5 MiB archive, read
// into a fresh buffer each time as the loaders do.

#include "core/archive_writer.h"
#include "core/media_archive.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::vector<std::uint8_t> FiveMegabyteArchive() {
    std::mt19937 random(7);
    std::vector<ArchiveFile> files;
    for (int i = 0; i < 40; ++i) files.push_back({String("small_") + String::FromInt(i), std::vector<std::uint8_t>(512, 1)});
    for (int i = 0; i < 5; ++i) {
        std::vector<std::uint8_t> bytes(1u << 20);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        files.push_back({String("texture_") + String::FromInt(i) + ".tga", std::move(bytes)});
    }
    std::vector<std::uint8_t> archive;
    String error;
    PackArchive(kMediaFolder, files, archive, error);
    return archive;
}

void BM_ReadFileMegabyteMember(benchmark::State& state) {
    const std::vector<std::uint8_t> archive = FiveMegabyteArchive();
    MountArchiveBytes(archive.data(), archive.size());
    const String name = String(kMediaFolder) + "/texture_4.tga";
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        if (!ReadFile(name, bytes)) state.SkipWithError("ReadFile failed");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
    state.counters["archive_bytes"] = static_cast<double>(archive.size());
    UnmountArchiveForTesting();
}
BENCHMARK(BM_ReadFileMegabyteMember)->Unit(benchmark::kMillisecond);

}  // namespace
