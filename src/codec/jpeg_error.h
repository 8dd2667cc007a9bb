// How the codec fails inside: a JpegError carries the reason. It never leaves
// the codec: every entry point (jpeg_codec.h) turns it into a status.
#pragma once

namespace lv::codec {

struct JpegError {
    const char* reason;
};

[[noreturn]] inline void fail(const char* reason) { throw JpegError{reason}; }

}  // namespace lv::codec
