#include "platform/avi_file.h"

#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace platform {

struct AviFile {
  AVFormatContext* context = nullptr;
  std::string path;
  AVStream* video = nullptr;
  bool headerWritten = false;
  bool writeFailed = false;
  bool storesDib = false;
  int64_t framesWritten = 0;
};

struct AviStream {
  AviFile* file = nullptr;
  AviStream* source = nullptr;  // set on a compressed stream
  AviStreamInfo info;
  AviCompressOptions options;
  bool hasFormat = false;
  BitmapInfoHeader format;
  AVCodecContext* encoder = nullptr;
  SwsContext* scaler = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
};

namespace {

AviCompressionChooser g_chooser = nullptr;
void* g_chooserUser = nullptr;

AVPixelFormat DibPixelFormat(uint16_t bitCount) {
  return bitCount == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
}

bool ValidFormat(const BitmapInfoHeader& f) {
  return f.size == 40 && f.width > 0 && f.height > 0 && f.planes == 1 &&
         (f.bitCount == 24 || f.bitCount == 32) && f.compression == 0 &&
         uint64_t(DibRowBytes(f.width, f.bitCount)) * uint64_t(f.height) == f.sizeImage;
}

// Packets the encoder has ready go to the file in the stream's time base.
uint32_t DrainEncoder(AviStream* stream) {
  AviFile* file = stream->file;
  for (;;) {
    const int got = avcodec_receive_packet(stream->encoder, stream->packet);
    if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return kAviOk;
    if (got < 0) return kAviErrCompressor;
    av_packet_rescale_ts(stream->packet, stream->encoder->time_base, file->video->time_base);
    stream->packet->stream_index = file->video->index;
    const int wrote = av_write_frame(file->context, stream->packet);
    av_packet_unref(stream->packet);
    if (wrote < 0) return kAviErrFileWrite;
  }
}

uint32_t OpenEncoder(AviStream* stream, const BitmapInfoHeader& format) {
  const AVCodec* codec = avcodec_find_encoder_by_name(stream->options.codec);
  if (!codec || codec->type != AVMEDIA_TYPE_VIDEO) return kAviErrNoCompressor;
  AVCodecContext* encoder = avcodec_alloc_context3(codec);
  if (!encoder) return kAviErrMemory;
  stream->encoder = encoder;
  const AVPixelFormat input = DibPixelFormat(format.bitCount);
  // The encoder's format that loses least of the DIB's pixels (none, for lossless RGB codecs).
  const AVPixelFormat chosen =
      codec->pix_fmts ? avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, input, 0, nullptr)
                      : input;
  if (chosen == AV_PIX_FMT_NONE) return kAviErrCompressor;
  encoder->width = format.width;
  encoder->height = format.height;
  encoder->pix_fmt = chosen;
  encoder->time_base = AVRational{int(stream->source->info.scale), int(stream->source->info.rate)};
  encoder->framerate = av_inv_q(encoder->time_base);
  if (avcodec_open2(encoder, codec, nullptr) < 0) return kAviErrCompressor;
  stream->frame = av_frame_alloc();
  stream->packet = av_packet_alloc();
  if (!stream->frame || !stream->packet) return kAviErrMemory;
  stream->frame->format = chosen;
  stream->frame->width = format.width;
  stream->frame->height = format.height;
  if (av_frame_get_buffer(stream->frame, 0) < 0) return kAviErrMemory;
  stream->scaler = sws_getContext(format.width, format.height, input, format.width, format.height,
                                  chosen, SWS_POINT, nullptr, nullptr, nullptr);
  if (!stream->scaler) return kAviErrCompressor;
  if (avcodec_parameters_from_context(stream->file->video->codecpar, encoder) < 0)
    return kAviErrMemory;
  stream->file->video->codecpar->codec_tag = 0;  // the muxer picks the codec's own tag
  return kAviOk;
}

void UseDibFormat(AviFile* file, const BitmapInfoHeader& format) {
  AVCodecParameters* par = file->video->codecpar;
  par->codec_type = AVMEDIA_TYPE_VIDEO;
  par->codec_id = AV_CODEC_ID_RAWVIDEO;
  par->codec_tag = 0;  // BI_RGB
  par->width = format.width;
  par->height = format.height;
  par->bits_per_coded_sample = format.bitCount;
  par->format = DibPixelFormat(format.bitCount);
  file->storesDib = true;
}

// The muxer names no handler for uncompressed frames; players expect "DIB " in the stream header.
void MarkDibHandler(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (!f) return;
  unsigned char head[4096];
  const std::size_t n = std::fread(head, 1, sizeof head, f);
  for (std::size_t i = 0; i + 16 <= n; ++i) {
    if (std::memcmp(head + i, "strh", 4) == 0 && std::memcmp(head + i + 8, "vids", 4) == 0) {
      if (std::fseek(f, long(i + 12), SEEK_SET) == 0) std::fwrite("DIB ", 1, 4, f);
      break;
    }
  }
  std::fclose(f);
}

}  // namespace

void SetAviCompressionChooser(AviCompressionChooser chooser, void* user) {
  g_chooser = chooser;
  g_chooserUser = chooser ? user : nullptr;
}

AviFile* AviFileOpen(const char* path) {
  if (!path || !*path) return nullptr;
  AVFormatContext* context = nullptr;
  if (avformat_alloc_output_context2(&context, nullptr, "avi", path) < 0 || !context)
    return nullptr;
  // Keep the DIB's bottom-up rows as they are and say so in the header.
  av_opt_set_int(context->priv_data, "flipped_raw_rgb", 1, 0);
  if (avio_open(&context->pb, path, AVIO_FLAG_WRITE) < 0) {
    avformat_free_context(context);
    return nullptr;
  }
  auto* file = new AviFile;
  file->context = context;
  file->path = path;
  return file;
}

uint32_t AviFileCreateStream(AviFile* file, AviStream** stream, const AviStreamInfo& info) {
  if (!file || !stream) return kAviErrBadHandle;
  if (file->video || info.type != FourCC("vids") || info.scale == 0 || info.rate == 0 ||
      info.scale > 0x7FFFFFFF || info.rate > 0x7FFFFFFF)
    return kAviErrBadParam;
  AVStream* video = avformat_new_stream(file->context, nullptr);
  if (!video) return kAviErrMemory;
  video->time_base = AVRational{int(info.scale), int(info.rate)};
  video->avg_frame_rate = AVRational{int(info.rate), int(info.scale)};
  video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  file->video = video;
  auto* created = new AviStream;
  created->file = file;
  created->info = info;
  *stream = created;
  return kAviOk;
}

int32_t AviSaveOptions(AviStream* stream, AviCompressOptions* options) {
  if (!stream || !options) return 0;
  char codec[sizeof options->codec] = {};
  if (g_chooser && !g_chooser(codec, int32_t(sizeof codec), g_chooserUser)) return 0;
  codec[sizeof codec - 1] = 0;
  std::memcpy(options->codec, codec, sizeof codec);
  options->handler = codec[0] ? 0 : FourCC("DIB ");
  return 1;
}

uint32_t AviMakeCompressedStream(AviStream** compressed, AviStream* source,
                                 const AviCompressOptions& options) {
  if (!compressed || !source || source->source) return kAviErrBadHandle;
  if (options.handler != FourCC("DIB ") && !avcodec_find_encoder_by_name(options.codec))
    return kAviErrNoCompressor;
  auto* created = new AviStream;
  created->file = source->file;
  created->source = source;
  created->info = source->info;
  created->options = options;
  *compressed = created;
  return kAviOk;
}

uint32_t AviStreamSetFormat(AviStream* stream, int32_t position, const BitmapInfoHeader* format,
                            int32_t formatBytes) {
  if (!stream) return kAviErrBadHandle;
  if (!format || position != 0 || formatBytes < int32_t(sizeof *format) || !ValidFormat(*format))
    return kAviErrBadParam;
  if (stream->hasFormat)
    return std::memcmp(&stream->format, format, sizeof *format) ? kAviErrBadParam : kAviOk;
  if (!stream->source || stream->file->headerWritten) return kAviErrBadParam;
  const uint32_t result = stream->options.handler == FourCC("DIB ")
                              ? (UseDibFormat(stream->file, *format), kAviOk)
                              : OpenEncoder(stream, *format);
  if (result != kAviOk) return result;
  stream->format = *format;
  stream->hasFormat = true;
  return kAviOk;
}

bool AviStreamFormat(const AviStream* stream, BitmapInfoHeader* format) {
  if (!stream || !stream->hasFormat) return false;
  *format = stream->format;
  return true;
}

uint32_t AviStreamWrite(AviStream* stream, int32_t start, int32_t samples, const void* bits,
                        int32_t bytes, uint32_t flags) {
  if (!stream) return kAviErrBadHandle;
  if (!stream->hasFormat || !bits || samples != 1 || start < 0 ||
      uint32_t(bytes) != stream->format.sizeImage)
    return kAviErrBadParam;
  AviFile* file = stream->file;
  if (file->writeFailed) return kAviErrFileWrite;
  if (!file->headerWritten) {
    if (avformat_write_header(file->context, nullptr) < 0) {
      file->writeFailed = true;
      return kAviErrFileWrite;
    }
    file->headerWritten = true;
  }
  uint32_t result = kAviOk;
  if (!stream->encoder) {
    AVPacket* packet = av_packet_alloc();
    if (!packet) return kAviErrMemory;
    packet->data = static_cast<uint8_t*>(const_cast<void*>(bits));
    packet->size = bytes;
    packet->pts = packet->dts = start;
    packet->duration = 1;
    packet->stream_index = file->video->index;
    if (flags & kAviKeyFrame) packet->flags |= AV_PKT_FLAG_KEY;
    if (av_write_frame(file->context, packet) < 0) result = kAviErrFileWrite;
    packet->data = nullptr;
    av_packet_free(&packet);
  } else {
    if (av_frame_make_writable(stream->frame) < 0) return kAviErrMemory;
    // Bottom-up rows: start at the last row and step backwards.
    const int row = int(DibRowBytes(stream->format.width, stream->format.bitCount));
    const uint8_t* last =
        static_cast<const uint8_t*>(bits) + std::size_t(row) * (stream->format.height - 1);
    const int strides[1] = {-row};
    sws_scale(stream->scaler, &last, strides, 0, stream->format.height, stream->frame->data,
              stream->frame->linesize);
    stream->frame->pts = start;
    if (avcodec_send_frame(stream->encoder, stream->frame) < 0)
      result = kAviErrCompressor;
    else
      result = DrainEncoder(stream);
  }
  if (result == kAviOk)
    ++file->framesWritten;
  else
    file->writeFailed = true;
  return result;
}

void AviStreamRelease(AviStream* stream) {
  if (!stream) return;
  if (stream->encoder) {
    // Frames the encoder still holds belong in the file.
    if (stream->file->headerWritten && !stream->file->writeFailed &&
        avcodec_send_frame(stream->encoder, nullptr) >= 0 && DrainEncoder(stream) != kAviOk)
      stream->file->writeFailed = true;
    avcodec_free_context(&stream->encoder);
  }
  sws_freeContext(stream->scaler);
  av_frame_free(&stream->frame);
  av_packet_free(&stream->packet);
  delete stream;
}

uint32_t AviFileRelease(AviFile* file, bool keep) {
  if (!file) return kAviErrBadHandle;
  bool kept = keep && file->headerWritten && !file->writeFailed && file->framesWritten > 0;
  if (file->headerWritten && kept && av_write_trailer(file->context) < 0) kept = false;
  if (file->context->pb && file->context->pb->error < 0) kept = false;
  if (avio_closep(&file->context->pb) < 0) kept = false;
  avformat_free_context(file->context);
  if (kept && file->storesDib) MarkDibHandler(file->path);
  if (!kept) std::remove(file->path.c_str());
  delete file;
  return kept ? kAviOk : kAviErrFileWrite;
}

}  // namespace platform
