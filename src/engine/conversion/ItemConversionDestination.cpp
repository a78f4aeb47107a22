// The destination half of an item's graph: sink and encoder.
#include "engine/conversion/ItemConversion.h"
#include "engine/sources/AlbumTrackTags.h"
#include "joblist/DestTypes.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"
#include "platform/media/IDeferredCommit.h"
#include "platform/media/MediaTags.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/filters/encoders/FileEncoders.h"
#include "platform/media/filters/sources/CdTrackSource.h"
#include "res/ResourceIds.h"

namespace tessival {

using namespace media;

std::shared_ptr<IPin> ItemConversion::BuildDestination(const std::string& fileName, const std::string& encoderName) {
    if (const FileDestType* file = FindFileDestType(FieldView(item_.destType))) {
        AddFileTypeSink(fileName, file->sink);
        encoderFilter_ = toolkit_.FindFilterInCategory(CLSID_FileEncoderCategory, encoderName.c_str(), -1);
    } else {
        toolkit_.AddWavFileSink(fileName);  // a sink that cannot be made shows when the graph is rendered
        GiveSourceTags(toolkit_.WavDest());
        encoderFilter_ = toolkit_.AddAudioCompressor(encoderName);
    }
    if (auto deferred = QueryInterface<IDeferredCommit>(toolkit_.FileWriter()))
        deferred->CommitThrough(services_.committer);
    auto input = toolkit_.GetPin(encoderFilter_, PINDIR_INPUT, 0);
    // An encoder that takes no input is as unusable as a missing one.
    if (!input) Fail(IDS_DEST_TYPE_INVALID);
    return input;
}

void ItemConversion::AddFileTypeSink(const std::string& fileName, const char* sinkName) {
    GiveSourceTags(toolkit_.AddFilterByName(sinkName));
    toolkit_.AddFileWriter(fileName);
}

void ItemConversion::GiveSourceTags(const std::shared_ptr<IBaseFilter>& sink) {
    auto tagSink = QueryInterface<ITagSink>(sink);
    if (!tagSink) return;
    const std::string sourcePath = ReadField(item_.sourcePath);
    const SourceKind kind = SourceKindOf(item_);
    // Capture devices have no tags; disc tracks have their number and the disc's CD-Text.
    if (sourcePath.empty() || kind == SourceKind::Capture) return;
    if (kind == SourceKind::CdTrack) return tagSink->SetTags(CdTrackSource::ReadTags(sourcePath));
    const SourceLocation location = LocateSource(sourcePath);
    tagSink->SetTags(WithAlbumTrackTags(location, ReadMediaTags(location.file)));
}

}  // namespace tessival
