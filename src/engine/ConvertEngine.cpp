#include "engine/ConvertEngine.h"

#include "engine/conversion/ItemConversion.h"

namespace tessival {

ConvertEngine::ConvertEngine(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {}

ConversionOutcome ConvertEngine::ConvertCurrentItem(ConvertItem& item) {
    worker_.Check();
    ItemConversion conversion(item, {shell_, registry_, prompt_, halt_, progress_});
    ConversionOutcome outcome = conversion.Run();
    item = conversion.Item();
    return outcome;
}

}  // namespace tessival
