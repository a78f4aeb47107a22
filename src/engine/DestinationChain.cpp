// The destination half of an item's graph: sink and encoder.
#include "engine/ConvertEngine.h"
#include "res/ResourceIds.h"

namespace tessival {

using namespace media;

std::shared_ptr<IPin> ConvertEngine::BuildDestination(const std::string& fileName, const std::string& encoderName) {
    AddWavFileSink(fileName);  // a sink that cannot be made shows when the graph is rendered
    encoderFilter = AddAudioCompressor(encoderName);
    auto input = GetPin(encoderFilter, PINDIR_INPUT, 0);
    // An encoder that takes no input is as unusable as a missing one.
    if (!input) SetItemError(IDS_DEST_TYPE_INVALID);
    return input;
}

}  // namespace tessival
