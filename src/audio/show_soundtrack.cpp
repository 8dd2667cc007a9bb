#include "audio/show_soundtrack.h"

#include "shell/file_services.h"
#include "shell/stream.h"

namespace lv::audio {
namespace {

SoundtrackSound soundOf(const ShowSound& s) {
    SoundtrackSound t;
    t.fileName = s.fileName;
    t.startWithCell = s.startWithCell;
    t.volume = s.volume;
    t.delay = s.delayMs;
    t.startOffset = s.startOffsetMs;
    t.playLength = s.playLengthMs;
    t.fadeIn = s.fadeInMs;
    t.fadeOut = s.fadeOutMs;
    t.runOn = s.runOn;
    t.useShowDuck = s.useShowDuck;
    t.duckLevel = s.duckLevel;
    t.duckFadeDown = s.duckFadeDownMs;
    t.duckFadeUp = s.duckFadeUpMs;
    t.fileLength = s.fileSeconds;
    return t;
}

// The file services' stream as a decoder's byte input.
class StreamByteSource final : public ByteSource {
public:
    StreamByteSource(StreamPtr stream, std::string name) : stream_(std::move(stream)), name_(std::move(name)) {
        size_ = stream_->seek(0, SeekOrigin::End);
        stream_->seek(0, SeekOrigin::Start);
    }
    size_t read(void* buffer, size_t count) override {
        const int64_t n = stream_->read(buffer, count);
        if (n > 0) position_ += n;
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    bool seek(int64_t position) override {
        if (position < 0) return false;
        if (stream_->seek(position, SeekOrigin::Start) != position) return false;
        position_ = position;
        return true;
    }
    int64_t tell() const override { return position_; }
    int64_t size() const override { return size_; }
    const std::string& name() const override { return name_; }

private:
    StreamPtr stream_;
    std::string name_;
    int64_t size_ = -1;
    int64_t position_ = 0;
};

}  // namespace

SoundtrackShow soundtrackInput(const Show& show) {
    SoundtrackShow t;
    t.soundFlag = show.soundOn;
    t.trimMusic = show.trimMusic;
    t.showVolume = show.volume;
    t.duckLevel = show.duckLevel;
    t.duckFadeDown = show.duckFadeDownMs;
    t.duckFadeUp = show.duckFadeUpMs;
    t.cellVolume = show.cellSoundVolume;
    t.cellFadeIn = show.cellSoundFadeInMs;
    t.cellFadeOut = show.cellSoundFadeOutMs;
    for (const ShowSound& s : show.sounds) t.music.push_back(soundOf(s));
    for (const ShowCell& c : show.cells) t.cells.push_back({c.displayMs, c.transitionMs, soundOf(c.sound)});
    t.startedLate = show.startedLate != 0;
    t.singlePass = show.singlePass != 0;
    return t;
}

SoundFileOpener fileServicesOpener(std::string folder) {
    return [folder = std::move(folder)](const std::string& name) -> std::unique_ptr<ByteSource> {
        if (name.empty()) return nullptr;
        for (const std::string& path : {name, folder + name}) {
            if (StreamPtr s = openWithPackedFiles(path, OpenMode::kRead)) return std::make_unique<StreamByteSource>(std::move(s), path);
        }
        return nullptr;
    };
}

}  // namespace lv::audio
