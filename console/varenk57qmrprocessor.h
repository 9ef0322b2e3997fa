#pragma once
// Answers of the K57 boards: both outcomes end with the "ModelK57>" prompt.
// Thread and owner: as AbstractDataProcessor.
#include "console/abstractdataprocessor.h"

namespace Processor {

class VarenK57QMRProcessor : public AbstractDataProcessor
{
public:
    using AbstractDataProcessor::AbstractDataProcessor;
    UInt32 decoderKind() const override { return console::DecoderK57QMR; }

protected:
    std::string_view successPrompt() const override { return "ModelK57>"; }
    std::string_view failurePrompt() const override { return "ModelK57>"; }
};

} // namespace Processor
