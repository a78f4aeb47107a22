// The destination half of an item's graph: sink and encoder.
#include "engine/ConvertEngine.h"
#include "joblist/DestTypes.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/media/MediaTags.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/filters/encoders/FileEncoders.h"
#include "platform/media/filters/sources/CdTrackSource.h"
#include "res/ResourceIds.h"

namespace tessival {

using namespace media;

std::shared_ptr<IPin> ConvertEngine::BuildDestination(const std::string& fileName, const std::string& encoderName) {
    const FileDestType* file = currentItem ? FindFileDestType(FieldView(currentItem->destType)) : nullptr;
    if (file) {
        AddFileTypeSink(fileName, file->sink);
        encoderFilter = FindFilterInCategory(CLSID_FileEncoderCategory, encoderName.c_str(), -1);
    } else {
        AddWavFileSink(fileName);  // a sink that cannot be made shows when the graph is rendered
        GiveSourceTags(WavDestFilter);
        encoderFilter = AddAudioCompressor(encoderName);
    }
    auto input = GetPin(encoderFilter, PINDIR_INPUT, 0);
    // An encoder that takes no input is as unusable as a missing one.
    if (!input) SetItemError(IDS_DEST_TYPE_INVALID);
    return input;
}

void ConvertEngine::AddFileTypeSink(const std::string& fileName, const char* sinkName) {
    GiveSourceTags(AddFilterByName(sinkName));
    AddFileWriter(fileName);
}

void ConvertEngine::GiveSourceTags(const std::shared_ptr<IBaseFilter>& sink) {
    auto tagSink = QueryInterface<ITagSink>(sink);
    if (!tagSink || !currentItem) return;
    const std::string sourcePath = ReadField(currentItem->sourcePath);
    const SourceKind kind = SourceKindOf(*currentItem);
    // Capture devices have no tags; disc tracks have their number and the disc's CD-Text.
    if (sourcePath.empty() || kind == SourceKind::Capture) return;
    tagSink->SetTags(kind == SourceKind::CdTrack ? CdTrackSource::ReadTags(sourcePath) : ReadMediaTags(sourcePath));
}

}  // namespace tessival
