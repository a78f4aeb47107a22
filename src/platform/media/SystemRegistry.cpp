// The system's filters. To add a filter: write it in filters/ (a TransformFilter for decoders
// and encoders, a SplitterFilter for parsers reading the "File Source (Async.)" pin, a
// RendererFilter for sinks), give it a static Entry() with its category, friendly name, merit,
// accepted input types and factory, and add one Register line below. The order of the lines is
// the enumeration order of each category.
#include "platform/media/FilterRegistry.h"
#include "platform/media/filters/capture/CaptureSourceFilter.h"
#include "platform/media/filters/decoders/AcmWrapper.h"
#include "platform/media/filters/decoders/AsfAcmHandler.h"
#include "platform/media/filters/decoders/AudioDecoders.h"
#include "platform/media/filters/decoders/MediaAudioDecoder.h"
#include "platform/media/filters/encoders/AudioCompressors.h"
#include "platform/media/filters/encoders/FileEncoders.h"
#include "platform/media/filters/encoders/PcmEncoder.h"
#include "platform/media/filters/sinks/FileWriter.h"
#include "platform/media/filters/sinks/MuxerDest.h"
#include "platform/media/filters/sinks/NullRenderer.h"
#include "platform/media/filters/sinks/WavDest.h"
#include "platform/media/filters/sources/CdTrackSource.h"
#include "platform/media/filters/sources/FileSourceAsync.h"
#include "platform/media/filters/sources/WindowsMediaSource.h"
#include "platform/media/filters/splitters/LavfSplitter.h"
#include "platform/media/filters/splitters/MediaSplitter.h"
#include "platform/media/filters/splitters/WaveParser.h"

extern "C" {
#include <libavutil/log.h>
}

namespace tessival::media {
namespace {

std::shared_ptr<FilterRegistry> BuildSystemRegistry() {
    // Failures reach the program as result codes and status texts; libav's own log lines (codec
    // probing, damaged input) would only clutter the terminal.
    av_log_set_level(AV_LOG_QUIET);
    auto registry = std::make_shared<FilterRegistry>();
    // DirectShow filters
    registry->Register(FileSourceAsync::Entry());
    registry->Register(WaveParser::Entry());
    registry->Register(AcmWrapper::Entry());
    registry->Register(LavfSplitter::MpegOneEntry());
    registry->Register(LavfSplitter::MpegTwoEntry());
    registry->Register(LavfSplitter::AviEntry());
    registry->Register(WindowsMediaSource::SourceFilterEntry());
    registry->Register(WindowsMediaSource::AsfReaderEntry());
    registry->Register(AsfAcmHandler::Entry());
    registry->Register(CdTrackSource::Entry());
    registry->Register(AudioDecoder::MpegAudioEntry());
    registry->Register(AudioDecoder::MpegLayer3Entry());
    registry->Register(AudioDecoder::WindowsMediaAudioEntry());
    registry->Register(AudioDecoder::Ac3Entry());
    registry->Register(MediaSplitter::Entry());
    registry->Register(MediaAudioDecoder::Entry());
    registry->Register(NullRenderer::AudioRendererEntry());
    registry->Register(NullRenderer::VideoRendererEntry());
    registry->Register(WavDest::Entry());
    registry->Register(FileWriter::Entry());
    registry->Register(MuxerDest::Mp3Entry());
    registry->Register(MuxerDest::FlacEntry());
    registry->Register(MuxerDest::OggEntry());
    registry->Register(MuxerDest::M4aEntry());
    // Audio compressors
    registry->Register(PcmEncoder::Entry());
    registry->Register(AudioCompressors::Mp3Entry());
    registry->Register(AudioCompressors::WindowsMediaEntry());
    registry->Register(AudioCompressors::ImaAdpcmEntry());
    registry->Register(AudioCompressors::MsAdpcmEntry());
    registry->Register(AudioCompressors::Gsm610Entry());
    registry->Register(AudioCompressors::ALawEntry());
    registry->Register(AudioCompressors::MuLawEntry());
    // Encoders of the file types with a container of their own
    registry->Register(FileEncoders::LameMp3Entry());
    registry->Register(FileEncoders::FlacEntry());
    registry->Register(FileEncoders::VorbisEntry());
    registry->Register(FileEncoders::OpusEntry());
    registry->Register(FileEncoders::AacEntry());
    // Audio capture sources, as the sound server has them at each enumeration
    registry->RegisterProvider(CLSID_AudioInputDeviceCategory,
                               [] { return CaptureSourceFilter::Entries(SystemCaptureSources()); });
    return registry;
}

}  // namespace

std::shared_ptr<const FilterRegistry> SystemRegistry() {
    static const std::shared_ptr<const FilterRegistry> registry = BuildSystemRegistry();
    return registry;
}

}  // namespace tessival::media
