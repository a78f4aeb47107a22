#include "platform/media/ffmpeg/AvPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace tessival::media {

void AvFree::operator()(AVFormatContext* context) const { avformat_close_input(&context); }
void AvFree::operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
void AvFree::operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
void AvFree::operator()(AVFrame* frame) const { av_frame_free(&frame); }
void AvFree::operator()(AVPacket* packet) const { av_packet_free(&packet); }
void AvFree::operator()(SwrContext* swr) const { swr_free(&swr); }
void AvFree::operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }

void AvFree::operator()(AVIOContext* context) const {
    av_freep(&context->buffer);
    avio_context_free(&context);
}

void AvFree::operator()(std::uint8_t* buffer) const { av_free(buffer); }

void AvOutputFormatFree::operator()(AVFormatContext* context) const { avformat_free_context(context); }

}  // namespace tessival::media
