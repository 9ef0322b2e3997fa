// Fuzzes the answer framing: any bytes, cut into any blocks, fed to both kinds of processor.
// Each reported line must lie inside what was received, and the buffer must stay bounded.
#include "console/varenk57qmrprocessor.h"
#include "console/varenk68tlcprocessor.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

template <typename Framing> void run(const std::uint8_t* data, std::size_t size)
{
    std::string received; // everything fed since the last complete answer
    Framing processor([&](Processor::IDataProcessor*, console::EProcessorDecodedType kind,
                          const char* text, std::size_t length) {
        if (kind == console::Data)
            check(length <= received.size());
        else
            check(length == 19 || length == 15);
        (void)text;
    });
    std::size_t at = 0;
    while (at < size) {
        // The first byte of each block says how long the block is (1 to 256 bytes).
        const std::uint8_t* block = data + at + 1;
        const std::size_t n = std::min<std::size_t>(data[at] + 1u, size - at - 1);
        received.append(reinterpret_cast<const char*>(block), n);
        processor.process(block, n, 0);
        if (processor.buffered() == 0)
            received.clear();
        check(processor.buffered() <= Framing::BufferBound);
        at += 1 + n;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    run<Processor::VarenK57QMRProcessor>(data, size);
    run<Processor::VarenK68TLCProcessor>(data, size);
    return 0;
}
