#include "host/player/AudioArchive_DirectX.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>

namespace player {
namespace {

// The bits a listener would quote for the file's sample format: compressed
// formats count as 16-bit.
int bitsOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_24:
        return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 32;
    case SF_FORMAT_DOUBLE:
        return 64;
    default:
        return 16;
    }
}

std::string formatName(SNDFILE* file, int format)
{
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(file, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name != nullptr)
        return info.name;
    return "Audio";
}

} // namespace

AudioArchive_DirectX::~AudioArchive_DirectX()
{
    close();
}

bool AudioArchive_DirectX::open(const char* path)
{
    close();
    if (path == nullptr)
        return false;
    SF_INFO info{};
    file_ = sf_open(path, SFM_READ, &info);
    if (file_ == nullptr)
        return false;
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        close();
        return false;
    }
    path_ = path;
    fileChannels_ = info.channels;
    fileRate_ = info.samplerate;
    bits_ = bitsOf(info.format);
    fileFrames_ = info.frames;
    durationSeconds_ =
        static_cast<int>(std::min<std::int64_t>(fileFrames_ / fileRate_, 0x7FFFFFFF));
    description_ = formatName(file_, info.format);
    decoding_ = true;
    return true;
}

void AudioArchive_DirectX::close()
{
    if (file_ != nullptr)
        sf_close(file_);
    file_ = nullptr;
    if (converter_ != nullptr)
        src_delete(converter_);
    converter_ = nullptr;
    loader_.clear();
    fileChannels_ = 2;
    fileRate_ = 44100;
    bits_ = 16;
    forcedChannels_ = forcedRate_ = 0;
    fileFrames_ = 0;
    durationSeconds_ = 0;
    description_.clear();
    path_.clear();
    decoding_ = started_ = failed_ = inputEnded_ = false;
    std::vector<float>().swap(fileBlock_);
    std::vector<float>().swap(mapped_);
    std::vector<float>().swap(converted_);
    std::vector<float>().swap(planes_);
    std::vector<float*>().swap(planePointers_);
}

bool AudioArchive_DirectX::describe(char* text, int size)
{
    if (text == nullptr || size <= 0)
        return false;
    std::snprintf(text, static_cast<std::size_t>(size), "%s with %d chan, %d_Hz, %d Bit",
                  description_.c_str(), channels(), sampleRate(), bits_);
    return true;
}

// Forcing only changes what the first progress() call sets up, so it needs
// no rebuild; once decoding has begun the frames already stored keep theirs.
bool AudioArchive_DirectX::setChannels(int n)
{
    if (started_ || n < 1 || n > 64)
        return false;
    forcedChannels_ = n;
    return true;
}

bool AudioArchive_DirectX::setSampleRate(int hz)
{
    if (started_ || hz < 1000 || hz > 768000)
        return false;
    forcedRate_ = hz;
    return true;
}

std::int64_t AudioArchive_DirectX::estimatedFrames() const
{
    const int rate = forcedRate_ > 0 ? forcedRate_ : fileRate_;
    if (rate == fileRate_)
        return fileFrames_;
    // Rounded up: the converter may deliver the last partial frame.
    const auto product = static_cast<long double>(fileFrames_) * rate;
    return static_cast<std::int64_t>(std::ceil(product / fileRate_));
}

std::int64_t AudioArchive_DirectX::lengthFrames()
{
    return decoding_ ? estimatedFrames() : loader_.framesHeld();
}

bool AudioArchive_DirectX::readInterleaved(float* destination, std::int64_t firstFrame, int frames)
{
    if (destination == nullptr)
        return false;
    return loader_.readInterleaved(destination, firstFrame, frames);
}

bool AudioArchive_DirectX::readPlanar(float* const* channels, std::int64_t firstFrame, int frames)
{
    if (channels == nullptr)
        return false;
    return loader_.readPlanar(channels, firstFrame, frames);
}

bool AudioArchive_DirectX::overview(std::vector<float>& points, int& count, int& changedFirst,
                                    int& changedCount)
{
    loader_.overview(points, changedFirst, changedCount);
    count = aaLoaderHelper::kOverviewSize;
    return true;
}

bool AudioArchive_DirectX::startDecoding()
{
    started_ = true;
    const int out = channels();
    const int rate = sampleRate();
    if (!loader_.prepare(out, estimatedFrames()))
        return false;
    const double ratio = double(rate) / double(fileRate_);
    const auto convertedFrames = static_cast<std::size_t>(std::ceil(kBlockFrames * ratio)) + 64;
    try {
        fileBlock_.resize(std::size_t(kBlockFrames) * std::size_t(fileChannels_));
        mapped_.resize(std::size_t(kBlockFrames) * std::size_t(out));
        if (rate != fileRate_)
            converted_.resize(convertedFrames * std::size_t(out));
        planes_.resize(std::max<std::size_t>(kBlockFrames, convertedFrames) * std::size_t(out));
        planePointers_.resize(std::size_t(out));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (rate != fileRate_) {
        int error = 0;
        converter_ = src_new(SRC_SINC_MEDIUM_QUALITY, out, &error);
        if (converter_ == nullptr)
            return false;
    }
    return true;
}

bool AudioArchive_DirectX::store(const float* interleaved, long frames)
{
    if (frames <= 0)
        return true;
    const int out = channels();
    const std::size_t stride = planes_.size() / std::size_t(out);
    float** planes = planePointers_.data();
    for (int ch = 0; ch < out; ++ch) {
        planes[ch] = planes_.data() + std::size_t(ch) * stride;
        for (long i = 0; i < frames; ++i)
            planes[ch][i] = interleaved[std::size_t(i) * std::size_t(out) + std::size_t(ch)];
    }
    return loader_.append(planes, static_cast<int>(frames));
}

bool AudioArchive_DirectX::decodeBlock()
{
    sf_count_t got = 0;
    if (!inputEnded_) {
        got = sf_readf_float(file_, fileBlock_.data(), kBlockFrames);
        if (got <= 0) {
            if (sf_error(file_) != SF_ERR_NO_ERROR) {
                finish(false);
                return false;
            }
            got = 0;
            inputEnded_ = true;
        }
    }
    // Map the file's channels onto the delivered ones: extra delivered
    // channels repeat the file's last (mono plays on both sides), extra file
    // channels are left out. A sample that is not a number reads as silence.
    const int out = channels();
    for (sf_count_t i = 0; i < got; ++i)
        for (int ch = 0; ch < out; ++ch) {
            const float v = fileBlock_[std::size_t(i) * std::size_t(fileChannels_) +
                                       std::size_t(std::min(ch, fileChannels_ - 1))];
            mapped_[std::size_t(i) * std::size_t(out) + std::size_t(ch)] =
                std::isfinite(v) ? v : 0.0f;
        }

    if (converter_ == nullptr) {
        if (!store(mapped_.data(), static_cast<long>(got))) {
            finish(false);
            return false;
        }
    } else {
        const float* in = mapped_.data();
        long left = static_cast<long>(got);
        for (;;) {
            SRC_DATA data{};
            data.data_in = in;
            data.input_frames = left;
            data.data_out = converted_.data();
            data.output_frames = static_cast<long>(converted_.size() / std::size_t(out));
            data.src_ratio = double(sampleRate()) / double(fileRate_);
            data.end_of_input = inputEnded_ ? 1 : 0;
            if (src_process(converter_, &data) != 0 ||
                !store(converted_.data(), data.output_frames_gen)) {
                finish(false);
                return false;
            }
            in += std::size_t(data.input_frames_used) * std::size_t(out);
            left -= data.input_frames_used;
            if (left == 0 && (!inputEnded_ || data.output_frames_gen == 0))
                break;
            if (!inputEnded_ && data.input_frames_used == 0 && data.output_frames_gen == 0)
                break;
        }
    }
    if (inputEnded_) {
        finish(true);
        return false;
    }
    return true;
}

void AudioArchive_DirectX::finish(bool completed)
{
    decoding_ = false;
    failed_ = !completed;
    if (completed)
        loader_.finishOverview();
    sf_close(file_);
    file_ = nullptr;
    if (converter_ != nullptr)
        src_delete(converter_);
    converter_ = nullptr;
}

float AudioArchive_DirectX::progress()
{
    if (!decoding_)
        return failed_ ? 0.0f : 1.0f;
    if (!started_ && !startDecoding()) {
        finish(false);
        return 0.0f;
    }
    // A slice of work per call, so that the caller can look at its stop flag.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    while (decodeBlock())
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    if (!decoding_)
        return failed_ ? 0.0f : 1.0f;
    const std::int64_t estimate = estimatedFrames();
    if (estimate <= 0)
        return 0.0f;
    const double done = double(loader_.framesHeld()) / double(estimate);
    return static_cast<float>(std::clamp(done, 0.0, 0.999));
}

} // namespace player
