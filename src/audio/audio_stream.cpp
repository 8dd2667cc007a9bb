#include "audio/audio_stream.h"

#include <algorithm>
#include <cstring>

#include "audio/mix_kernels.h"

namespace lv::audio {
namespace {

constexpr uint32_t maxChannels = 32;
constexpr uint32_t maxRate = 96000;

int64_t alignDown(int64_t position) {
    const int64_t b = AudioStream::blockSamples;
    return position >= 0 ? position / b * b : -((-position + b - 1) / b) * b;
}

}  // namespace

std::unique_ptr<AudioStream> AudioStream::create(const AudioFormat& format) {
    if (format.channels < 1 || format.channels > maxChannels) return nullptr;
    if (format.sampleRate > maxRate) return nullptr;
    if (format.bits < 8 || format.bits > 32) return nullptr;
    return std::unique_ptr<AudioStream>(new AudioStream(format));
}

AudioStream::AudioStream(const AudioFormat& format)
    : channels_(format.channels),
      sampleRate_(format.sampleRate),
      bits_(format.bits),
      carried_(format.carried),
      chain_(format.channels) {}

AudioStream::~AudioStream() {
    // The destroy hook: the node state goes first, taking owned inputs.
    producer_.reset();
}

AudioFormat AudioStream::format() const {
    AudioFormat f;
    f.channels = static_cast<uint16_t>(channels_);
    f.sampleRate = sampleRate_;
    f.bits = static_cast<uint16_t>(bits_);
    f.carried = carried_;
    return f;
}

void AudioStream::jumpTo(int64_t position) {
    for (Channel& c : chain_) {
        c.pendingWrite = false;
        while (!c.blocks.empty()) dropFirstBlock(c);
    }
    chainStart_ = chainEnd_ = alignDown(position);
    firstRetained_ = validEnd_ = position;
}

void AudioStream::extendTo(int64_t from, int64_t end) {
    if (chainEnd_ == chainStart_) chainStart_ = chainEnd_ = alignDown(std::max(from, firstRetained_));
    while (chainEnd_ < end) {
        for (Channel& c : chain_) {
            if (c.spare.empty()) {
                c.blocks.push_back(std::make_unique_for_overwrite<Block>());
            } else {
                c.blocks.push_back(std::move(c.spare.back()));
                c.spare.pop_back();
            }
        }
        chainEnd_ += blockSamples;
    }
}

void AudioStream::dropFirstBlock(Channel& channel) {
    constexpr size_t keptSpares = 2;
    if (channel.spare.size() < keptSpares) channel.spare.push_back(std::move(channel.blocks.front()));
    channel.blocks.pop_front();
}

int32_t* AudioStream::blockRun(int32_t channel, int64_t position, int32_t count) {
    if (static_cast<uint32_t>(channel) >= channels_ || count <= 0) return nullptr;
    if (position < chainStart_ || position + count > chainEnd_) return nullptr;
    if ((position - chainStart_) / blockSamples != (position + count - 1 - chainStart_) / blockSamples) return nullptr;
    Channel& c = chain_[static_cast<size_t>(channel)];
    storePending(c);
    return sampleAt(c, position);
}

int32_t* AudioStream::sampleAt(Channel& channel, int64_t position) {
    const int64_t offset = position - chainStart_;
    return channel.blocks[static_cast<size_t>(offset / blockSamples)]->samples + offset % blockSamples;
}

bool AudioStream::exchangeBlock(AudioStream& other, int64_t position) {
    if (other.channels_ != channels_ || blockRoom(position) != blockSamples) return false;
    extendTo(position, position + blockSamples);
    const auto holds = [position](const AudioStream& s) {
        return position >= s.chainStart_ && position + blockSamples <= s.chainEnd_;
    };
    if (!holds(*this) || !holds(other)) return false;
    const auto mine = static_cast<size_t>((position - chainStart_) / blockSamples);
    const auto theirs = static_cast<size_t>((position - other.chainStart_) / blockSamples);
    for (size_t c = 0; c < channels_; ++c) {
        storePending(chain_[c]);
        other.storePending(other.chain_[c]);
        std::swap(chain_[c].blocks[mine], other.chain_[c].blocks[theirs]);
    }
    return true;
}

void AudioStream::storePending(Channel& channel) {
    if (!channel.pendingWrite) return;
    channel.pendingWrite = false;
    int64_t position = channel.pendingPosition;
    if (position < chainStart_ || position + channel.scratchCount > chainEnd_) return;  // released meanwhile
    const bool wide = channel.scratchFormat == SampleFormat::s32;
    for (int32_t i = 0; i < channel.scratchCount;) {
        int32_t* out = sampleAt(channel, position);
        const int32_t run = std::min<int32_t>(channel.scratchCount - i,
                                              blockSamples - static_cast<int32_t>((position - chainStart_) % blockSamples));
        if (wide) {
            std::memcpy(out, channel.scratch.data() + static_cast<size_t>(i) * 4, static_cast<size_t>(run) * 4);
        } else {
            const auto* in = reinterpret_cast<const int16_t*>(channel.scratch.data()) + i;
            for (int32_t k = 0; k < run; ++k) out[k] = fromSample16(in[k]);
        }
        i += run;
        position += run;
    }
}

void* AudioStream::access(int32_t channel, int64_t position, int32_t count, bool write, SampleFormat format) {
    if (channel < 0) {
        release(position);
        return nullptr;
    }
    if (static_cast<uint32_t>(channel) >= channels_ || count < 0) return nullptr;
    if (format != SampleFormat::s16 && format != SampleFormat::s32) return nullptr;
    if (write) extendTo(position, position + count);
    Channel& c = chain_[static_cast<size_t>(channel)];
    storePending(c);
    const size_t width = format == SampleFormat::s16 ? 2 : 4;
    if (c.scratch.size() < static_cast<size_t>(count) * width + 4) c.scratch.resize(static_cast<size_t>(count) * width + 4);
    c.pendingPosition = position;
    c.scratchCount = count;
    c.scratchFormat = format;
    if (write) {
        if (position < chainStart_) return nullptr;
        c.pendingWrite = true;
        return c.scratch.data();
    }
    if (position < chainStart_ || position + count > chainEnd_) return nullptr;
    int64_t at = position;
    for (int32_t i = 0; i < count;) {
        const int32_t* in = sampleAt(c, at);
        const int32_t run =
            std::min<int32_t>(count - i, blockSamples - static_cast<int32_t>((at - chainStart_) % blockSamples));
        if (width == 4) {
            std::memcpy(c.scratch.data() + static_cast<size_t>(i) * 4, in, static_cast<size_t>(run) * 4);
        } else {
            auto* out = reinterpret_cast<int16_t*>(c.scratch.data()) + i;
            for (int32_t k = 0; k < run; ++k) out[k] = toSample16(in[k]);
        }
        i += run;
        at += run;
    }
    return c.scratch.data();
}

void AudioStream::release(int64_t position) {
    for (Channel& c : chain_) storePending(c);
    // A block ending exactly at the position stays.
    while (chainEnd_ > chainStart_ && chainStart_ + blockSamples < position) {
        for (Channel& c : chain_) dropFirstBlock(c);
        chainStart_ += blockSamples;
    }
    if (chainEnd_ == chainStart_) chainStart_ = chainEnd_ = alignDown(std::max(position, firstRetained_));
    firstRetained_ = std::max(firstRetained_, chainStart_);
}

int32_t AudioStream::writeInterleaved(const void* buffer, int32_t count, int64_t position, int32_t channels,
                                      int32_t bits, bool unsignedData) {
    if (channels != static_cast<int32_t>(channels_) || count < 0 || position < 0) return -1;
    if (bits != 8 && bits != 16) return 0;
    extendTo(position, position + count);
    if (position < chainStart_) return -1;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const auto stride = static_cast<size_t>(channels);
    if (bits == 16 && channels <= 2) {
        if (channels == 1)
            storeInterleaved16<1>(bytes, count, position);
        else
            storeInterleaved16<2>(bytes, count, position);
        return 0;
    }
    for (int32_t ch = 0; ch < channels; ++ch) {
        Channel& c = chain_[static_cast<size_t>(ch)];
        storePending(c);
        int64_t at = position;
        for (int32_t i = 0; i < count;) {
            int32_t* out = sampleAt(c, at);
            const int32_t run =
                std::min<int32_t>(count - i, blockSamples - static_cast<int32_t>((at - chainStart_) % blockSamples));
            for (int32_t k = 0; k < run; ++k) {
                const size_t element = static_cast<size_t>(i + k) * stride + static_cast<size_t>(ch);
                if (bits == 16) {
                    const auto lo = bytes[element * 2], hi = bytes[element * 2 + 1];
                    out[k] = static_cast<int32_t>((static_cast<uint32_t>(hi) << 24) | (static_cast<uint32_t>(lo) << 16));
                } else {
                    uint8_t byte = bytes[element];
                    if (unsignedData) byte = static_cast<uint8_t>(byte - 128);
                    out[k] = static_cast<int32_t>(static_cast<uint32_t>(byte) << 24);
                }
            }
            i += run;
            at += run;
        }
    }
    return 0;
}

// Mono and stereo 16-bit data, the decoders' output: one pass per block run
// over every channel, in loops the compiler vectorises.
template <int Channels>
void AudioStream::storeInterleaved16(const uint8_t* bytes, int32_t count, int64_t position) {
    for (Channel& c : chain_) storePending(c);
    int64_t at = position;
    for (int32_t i = 0; i < count;) {
        const int32_t run =
            std::min<int32_t>(count - i, blockSamples - static_cast<int32_t>((at - chainStart_) % blockSamples));
        const uint8_t* in = bytes + static_cast<size_t>(i) * Channels * 2;
        if constexpr (Channels == 2) {
            mixKernels().splitStereo16(in, run, sampleAt(chain_[0], at), sampleAt(chain_[1], at));
        } else {
            for (int ch = 0; ch < Channels; ++ch) {
                int32_t* out = sampleAt(chain_[static_cast<size_t>(ch)], at);
                for (int32_t k = 0; k < run; ++k) {
                    const uint8_t* p = in + (static_cast<size_t>(k) * Channels + static_cast<size_t>(ch)) * 2;
                    out[k] = static_cast<int32_t>((static_cast<uint32_t>(p[1]) << 24) |
                                                  (static_cast<uint32_t>(p[0]) << 16));
                }
            }
        }
        i += run;
        at += run;
    }
}

int32_t AudioStream::readInterleaved(void* destination, int32_t count, int64_t position, int32_t bits) {
    if (bits != 16 && bits != 32) return 0;
    if (count < 0 || position < chainStart_ || position + count > chainEnd_) return 0;
    if (bits == 16 && channels_ == 2) {
        readStereo16(static_cast<int16_t*>(destination), count, position);
        return count;
    }
    const size_t stride = channels_;
    for (size_t ch = 0; ch < channels_; ++ch) {
        Channel& c = chain_[ch];
        storePending(c);
        int64_t at = position;
        for (int32_t i = 0; i < count;) {
            const int32_t* in = sampleAt(c, at);
            const int32_t run =
                std::min<int32_t>(count - i, blockSamples - static_cast<int32_t>((at - chainStart_) % blockSamples));
            if (bits == 16) {
                auto* out = static_cast<int16_t*>(destination) + static_cast<size_t>(i) * stride + ch;
                for (int32_t k = 0; k < run; ++k) out[static_cast<size_t>(k) * stride] = toSample16(in[k]);
            } else {
                auto* out = static_cast<int32_t*>(destination) + static_cast<size_t>(i) * stride + ch;
                for (int32_t k = 0; k < run; ++k) out[static_cast<size_t>(k) * stride] = in[k];
            }
            i += run;
            at += run;
        }
    }
    return count;
}

void AudioStream::readStereo16(int16_t* destination, int32_t count, int64_t position) {
    Channel& left = chain_[0];
    Channel& right = chain_[1];
    storePending(left);
    storePending(right);
    int64_t at = position;
    for (int32_t i = 0; i < count;) {
        const int32_t run =
            std::min<int32_t>(count - i, blockSamples - static_cast<int32_t>((at - chainStart_) % blockSamples));
        mixKernels().joinStereo16(sampleAt(left, at), sampleAt(right, at), run, destination + static_cast<size_t>(i) * 2);
        i += run;
        at += run;
    }
}

void AudioStream::install(std::unique_ptr<Producer> producer) {
    producer_ = std::move(producer);
    pumping_ = producer_ != nullptr;
    finished_ = false;
}

int32_t AudioStream::pump(uint32_t code) {
    if (code == pumpDestroy) {
        producer_.reset();
        pumping_ = false;
        return 0;
    }
    if (!producer_) return code == pumpProduce ? 0 : -1;
    int32_t result;
    ++pumpDepth_;
    if (code == pumpProduce)
        result = pumping_ ? producer_->produce(*this) : 0;
    else
        result = producer_->answer(*this, code);
    --pumpDepth_;
    releaseStateIfAsked();
    return result;
}

void AudioStream::finish(bool releaseState) {
    finished_ = true;
    pumping_ = false;
    if (releaseState) {
        releaseAsked_ = true;
        releaseStateIfAsked();
    }
}

void AudioStream::releaseStateIfAsked() {
    if (releaseAsked_ && pumpDepth_ == 0) {
        releaseAsked_ = false;
        producer_.reset();
    }
}

int32_t AudioStream::setPosition(int64_t target) {
    if (!producer_ || !producer_->hasSetPosition()) return -1;
    seekTarget_ = target;
    producer_->setPosition(*this, target);
    return 0;
}

}  // namespace lv::audio
