// The profile check (reading and checking) of a 10,000-line profile: the sample's
// settings, then client key maps for many clients, comments and a long [Client]
// section, with a share of mistakes so that findings are made and formatted.
#include <benchmark/benchmark.h>

#include <string>

#include "setup/ProfileCheck.h"
#include "config/QRTLIRSet.h"

namespace {

constexpr int kLines = 10000;

std::string TenThousandLines() {
    std::string text = "[Main]\r\nTimer=500\r\n[Client]\r\nDefault=1\r\n1_Item=STANDINTV\r\n"
                       "1_Caption=Standin TV\r\n1_ClassName=StandinTVClass\r\n1_Control=1\r\n";
    int lines = 8;
    for (int client = 2; lines < kLines / 4; ++client, lines += 3)
        text += std::to_string(client) + "_Item=VIEWER" + std::to_string(client) + "\r\n; client " +
                std::to_string(client) + "\r\n" + std::to_string(client) + "_Child0=" +
                std::to_string(1000 + client) + "\r\n";
    text += "[KeyMap_Controler]\r\n";
    ++lines;
    for (int k = 0; k < kRemoteKeyCount; ++k, ++lines)
        text += std::string(RemoteKeyNames[k]) + "=" + (k % 9 == 0 ? std::to_string(k) : std::to_string(10 + k)) + "\r\n";
    for (int section = 0; lines < kLines; ++section) {
        text += "[KeyMap_" + (section == 0 ? std::string("STANDINTV") : "VIEWER" + std::to_string(section)) + "]\r\n";
        ++lines;
        for (int k = 0; k < kRemoteKeyCount && lines < kLines; ++k, ++lines)
            text += std::string(RemoteKeyNames[k]) + "=" + (k % 7 == 0 ? "8001" : "#80" + std::to_string(10 + k)) + "\r\n";
    }
    return text;
}

void BM_CheckTenThousandLines(benchmark::State& state) {
    const std::string text = TenThousandLines();
    std::size_t findings = 0;
    for (auto _ : state) {
        const qrtl::ProfileDocument document = qrtl::ProfileDocument::Parse(text);
        const auto found = qrtl::CheckProfile(document);
        std::string out;
        for (const auto& f : found) out += qrtl::FormatFinding("QRTLIRMoni.INI", f);
        benchmark::DoNotOptimize(out.data());
        findings = found.size();
    }
    state.counters["lines"] = static_cast<double>(qrtl::ProfileDocument::Parse(text).LineCount());
    state.counters["findings"] = static_cast<double>(findings);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CheckTenThousandLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
