// Throughput of the answer framing: whole-page answers fed as the serial port delivers them.
#include "console/varenk57qmrprocessor.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string wholePageAnswer()
{
    std::string answer = "v 42 00 0100\r\nCOMMAND SUCCESSFUL\r\n";
    for (int i = 0; i < 256; ++i)
        answer += "A5 ";
    return answer + "\r\nModelK57>";
}

void FramingWholePages(benchmark::State& state)
{
    const std::string answer = wholePageAnswer();
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    std::size_t lines = 0;
    Processor::VarenK57QMRProcessor processor(
        [&lines](Processor::IDataProcessor*, console::EProcessorDecodedType kind, const char*,
            std::size_t) { lines += kind == console::Data; });
    for (auto _ : state) {
        for (std::size_t at = 0; at < answer.size(); at += block) {
            const std::size_t n = std::min(block, answer.size() - at);
            processor.process(reinterpret_cast<const unsigned char*>(answer.data() + at), n, 0);
        }
    }
    benchmark::DoNotOptimize(lines);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * answer.size()));
    state.counters["answers/s"]
        = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// 32 bytes is what a pseudo-terminal often hands over at line rate; 4096 is one full read.
BENCHMARK(FramingWholePages)->Arg(32)->Arg(256)->Arg(4096);

} // namespace

BENCHMARK_MAIN();
