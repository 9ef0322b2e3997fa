#pragma once
// Answers of the K68-TLC module: success ends with "diag_mf00>", failure with "ModelK68_BNK>".
// Thread and owner: as AbstractDataProcessor.
#include "console/abstractdataprocessor.h"

namespace Processor {

class VarenK68TLCProcessor : public AbstractDataProcessor
{
public:
    using AbstractDataProcessor::AbstractDataProcessor;
    UInt32 decoderKind() const override { return console::DecoderK68TLC; }

protected:
    std::string_view successPrompt() const override { return "diag_mf00>"; }
    std::string_view failurePrompt() const override { return "ModelK68_BNK>"; }
};

} // namespace Processor
