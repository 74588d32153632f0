// The zlib back end of the kit's inflation: one raw deflate stream fed piece
// by piece. Always built; the fallback where ISA-L is missing, and the
// reference the ISA-L back end is tested against.
#pragma once
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kit/inflate_step.h"

class ZlibInflater {
  public:
    static constexpr const char* kName = "zlib";

    ZlibInflater() {
        std::memset(&stream_, 0, sizeof stream_);
        // A failed initialisation makes every inflate() fail: the kit is
        // then reported as damaged.
        inflateInit2(&stream_, -15);
    }
    ~ZlibInflater() { inflateEnd(&stream_); }
    ZlibInflater(const ZlibInflater&) = delete;
    ZlibInflater& operator=(const ZlibInflater&) = delete;

    // Inflates from `in` into `out`, advancing both and shrinking the counts.
    kit::InflateStep Inflate(const uint8_t*& in, size_t& inCount, uint8_t*& out, size_t& outRoom) {
        stream_.next_in = const_cast<Bytef*>(in);
        stream_.avail_in = uInt(inCount);
        stream_.next_out = out;
        stream_.avail_out = uInt(outRoom);
        int result = inflate(&stream_, Z_NO_FLUSH);
        in = stream_.next_in;
        inCount = stream_.avail_in;
        out = stream_.next_out;
        outRoom = stream_.avail_out;
        if (result == Z_STREAM_END)
            return kit::InflateStep::kEnd;
        // No progress possible with the input given: more input may follow.
        if (result == Z_OK || result == Z_BUF_ERROR)
            return kit::InflateStep::kMore;
        return kit::InflateStep::kDamaged;
    }

  private:
    z_stream stream_;
};
