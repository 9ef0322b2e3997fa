// Framing of the unit's answers by the two response processors.
#include "console/processorregistry.h"
#include "console/varenk57qmrprocessor.h"
#include "console/varenk68tlcprocessor.h"
#include "tdi/statuscodes.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace Processor;
namespace status = tdi::status;

namespace {

struct Output
{
    std::vector<std::string> items; // "S:<status>" or "D:<line>"
};

AbstractDataProcessor::Callback recordInto(Output& output)
{
    return [&output](IDataProcessor*, console::EProcessorDecodedType kind, const char* data,
               std::size_t length) {
        if (kind == console::Status)
            output.items.push_back("S:" + std::string(data) + "#" + std::to_string(length));
        else
            output.items.push_back("D:" + std::string(data, length));
    };
}

std::unique_ptr<AbstractDataProcessor> make(console::DecoderKind kind, Output& output)
{
    if (kind == console::DecoderK57QMR)
        return std::make_unique<VarenK57QMRProcessor>(recordInto(output));
    return std::make_unique<VarenK68TLCProcessor>(recordInto(output));
}

void feed(AbstractDataProcessor& processor, const std::string& block)
{
    processor.process(reinterpret_cast<const unsigned char*>(block.data()), block.size(), 0);
}

struct FramingCase
{
    const char* name;
    console::DecoderKind kind;
    std::vector<std::string> blocks;
    std::vector<std::string> expected;
};

class Framing : public ::testing::TestWithParam<FramingCase>
{
};

TEST_P(Framing, ReportsStatusAndReplyLine)
{
    Output output;
    auto processor = make(GetParam().kind, output);
    for (const auto& block : GetParam().blocks)
        feed(*processor, block);
    EXPECT_EQ(output.items, GetParam().expected);
}

const std::string success = "COMMAND SUCCESSFUL#19";
const std::string failure = "COMMAND FAILED#15";

INSTANTIATE_TEST_SUITE_P(Answers, Framing,
    ::testing::Values(FramingCase { "whole_answer", console::DecoderK57QMR,
                          { "v 42 00 0002\r\nCOMMAND SUCCESSFUL\r\n01 02 \r\nModelK57>" },
                          { "S:" + success, "D:01 02 " } },
        FramingCase { "prompt_in_later_block", console::DecoderK57QMR,
            { "v 42 00 0001\r\nCOMMAND SUC", "CESSFUL\r\nAB \r\n", "Model", "K57>" },
            { "S:" + success, "D:AB " } },
        FramingCase { "status_without_prompt_waits", console::DecoderK57QMR,
            { "w 43 01 00 06\r\nCOMMAND SUCCESSFUL\r\n\r\n" }, {} },
        FramingCase { "failure", console::DecoderK57QMR, { "x\r\nCOMMAND FAILED\r\n\r\nModelK57>" },
            { "S:" + failure, "D:" } },
        FramingCase { "no_line_after_status_gives_prompt", console::DecoderK57QMR,
            { "COMMAND SUCCESSFUL\r\nModelK57>" }, { "S:" + success, "D:ModelK57>" } },
        FramingCase { "status_at_end_prompt_before", console::DecoderK57QMR,
            { "ModelK57> COMMAND SUCCESSFUL" }, { "S:" + success, "D:COMMAND SUCCESSFUL" } },
        FramingCase { "both_status_texts_success_wins", console::DecoderK57QMR,
            { "COMMAND FAILED\r\nCOMMAND SUCCESSFUL\r\n07 \r\nModelK57>" },
            { "S:" + success, "D:07 " } },
        FramingCase { "k68_success", console::DecoderK68TLC,
            { "i\r\nCOMMAND SUCCESSFUL\r\n0A \r\ndiag_mf00>" }, { "S:" + success, "D:0A " } },
        FramingCase { "k68_success_text_with_failure_prompt_is_incomplete", console::DecoderK68TLC,
            { "i\r\nCOMMAND SUCCESSFUL\r\n0A \r\nModelK68_BNK>" }, {} },
        FramingCase { "k68_failure", console::DecoderK68TLC,
            { "q\r\nCOMMAND FAILED\r\n\r\nModelK68_BNK>" }, { "S:" + failure, "D:" } },
        FramingCase { "k57_prompt_does_not_end_k68_answer", console::DecoderK68TLC,
            { "COMMAND SUCCESSFUL\r\n\r\nModelK57>" }, {} },
        FramingCase { "two_answers_in_turn", console::DecoderK57QMR,
            { "a\r\nCOMMAND SUCCESSFUL\r\n01 \r\nModelK57>",
                "b\r\nCOMMAND FAILED\r\n\r\nModelK57>" },
            { "S:" + success, "D:01 ", "S:" + failure, "D:" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessorParameters, IdZeroStartsAt228AndIdOneIsTheKind)
{
    Output output;
    VarenK68TLCProcessor processor(recordInto(output));
    tdi::UInt16 value = 0;
    EXPECT_EQ(processor.getParameter(0, sizeof value, &value), status::ProcessorOk);
    EXPECT_EQ(value, 228);
    tdi::UInt32 kind = 99;
    EXPECT_EQ(processor.getParameter(1, sizeof kind, &kind), status::ProcessorOk);
    EXPECT_EQ(kind, 1u);

    const tdi::UInt16 stored = 17;
    EXPECT_EQ(processor.setParameter(0, sizeof stored, &stored), status::ProcessorOk);
    EXPECT_EQ(processor.getParameter(0, sizeof value, &value), status::ProcessorOk);
    EXPECT_EQ(value, 17);
    EXPECT_EQ(processor.setParameter(0, 4, &kind), status::ProcessorBadSize);
    EXPECT_EQ(processor.getParameter(1, 2, &value), status::ProcessorBadSize);
    EXPECT_EQ(
        processor.setParameter(1, sizeof stored, &stored), status::ProcessorReadOnlyParameter);
}

TEST(ProcessorBuffer, ABabblingUnitIsBoundedToTheNewestBytes)
{
    Output output;
    VarenK57QMRProcessor processor(recordInto(output));
    const std::string noise(4096, 'x');
    for (int i = 0; i < 40; ++i)
        feed(processor, noise);
    EXPECT_EQ(processor.buffered(), AbstractDataProcessor::BufferBound);
    // An answer arriving after the noise is still recognised.
    feed(processor, "\r\nCOMMAND SUCCESSFUL\r\n05 \r\nModelK57>");
    EXPECT_EQ(output.items, (std::vector<std::string> { "S:" + success, "D:05 " }));
    EXPECT_EQ(processor.buffered(), 0u);
}

TEST(ProcessorRegistry, CreatesKnownKindsAndRunsWorkOnItsThreadInOrder)
{
    auto& registry = ProcessorRegistry::instance();
    ProcessorHandle handle = nullptr;
    EXPECT_EQ(registry.createProcessor(7, nullptr, &handle), status::ProcessorUnknownKind);
    EXPECT_EQ(handle, nullptr);

    std::mutex lock;
    std::condition_variable done;
    std::vector<std::string> lines;
    auto callback = [&](IDataProcessor*, console::EProcessorDecodedType kind, const char* data,
                        std::size_t length) {
        std::lock_guard<std::mutex> guard(lock);
        if (kind == console::Data)
            lines.emplace_back(data, length);
        done.notify_all();
    };
    ASSERT_EQ(
        registry.createProcessor(console::DecoderK57QMR, callback, &handle), status::ProcessorOk);
    const std::string blocks[]
        = { "COMMAND SUCCESSFUL\r\n1 \r\n", "ModelK57>", "COMMAND SUCCESSFUL\r\n2 \r\nModelK57>" };
    for (const auto& block : blocks)
        registry.processBlock(
            handle, reinterpret_cast<const unsigned char*>(block.data()), block.size(), 0);
    {
        std::unique_lock<std::mutex> guard(lock);
        ASSERT_TRUE(
            done.wait_for(guard, std::chrono::seconds(10), [&] { return lines.size() == 2; }));
    }
    EXPECT_EQ(lines, (std::vector<std::string> { "1 ", "2 " }));
    EXPECT_EQ(registry.tickProcessor(handle), status::ProcessorOk);
    EXPECT_EQ(registry.destroyProcessor(handle), status::ProcessorOk);
    EXPECT_EQ(registry.destroyProcessor(handle), status::ProcessorUnknownHandle);
    EXPECT_EQ(registry.processBlock(handle, nullptr, 0, 0), status::ProcessorUnknownHandle);
    EXPECT_EQ(registry.configureProcessor(handle, 0, nullptr), status::ProcessorUnknownHandle);
}

} // namespace
