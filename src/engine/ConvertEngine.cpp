#include "engine/ConvertEngine.h"

#include "engine/conversion/ItemConversion.h"

namespace tessival {

ConvertEngine::ConvertEngine(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {}

ConversionOutcome ConvertEngine::ConvertCurrentItem(ConvertItem& item, CommitTiming timing) {
    worker_.Check();
    const bool deferred = timing == CommitTiming::Deferred;
    ItemConversion conversion(item, {shell_, registry_, prompt_, halt_, progress_, deferred ? committer_ : nullptr, cores_});
    ConversionOutcome outcome = conversion.Run();
    item = conversion.Item();
    return outcome;
}

}  // namespace tessival
