// The ISA-L back end of the kit's inflation: the same contract as
// ZlibInflater, about three times as fast. Built only where the ISA-L header
// is present (SETUP_HAVE_ISAL); the library itself is found at run time
// (kit/isal_library.h), and only where it was is this back end made.
#pragma once
#include <isa-l/igzip_lib.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "kit/inflate_step.h"
#include "kit/isal_library.h"

class IsalInflater {
  public:
    static constexpr const char* kName = "isa-l";

    // The state holds its history and decoding tables (about 100 KiB): on the
    // heap, once per kit.
    // `functions` from kit::IsalLibrary(), which must have found them.
    explicit IsalInflater(const kit::IsalFunctions& functions = *kit::IsalLibrary())
        : isal_(functions), state_(new inflate_state) {
        isal_.isalInflateInit(state_.get());
        state_->crc_flag = ISAL_DEFLATE;
    }
    IsalInflater(const IsalInflater&) = delete;
    IsalInflater& operator=(const IsalInflater&) = delete;

    kit::InflateStep Inflate(const uint8_t*& in, size_t& inCount, uint8_t*& out, size_t& outRoom) {
        inflate_state& s = *state_;
        s.next_in = const_cast<uint8_t*>(in);
        s.avail_in = uint32_t(inCount);
        s.next_out = out;
        s.avail_out = uint32_t(outRoom);
        int result = isal_.isalInflate(&s);
        out = s.next_out;
        outRoom = s.avail_out;
        if (result < 0)
            return kit::InflateStep::kDamaged;
        if (s.block_state != ISAL_BLOCK_FINISH) {
            in = s.next_in;
            inCount = s.avail_in;
            return kit::InflateStep::kMore;
        }
        // Finished: every byte of the stream has reached `out`. ISA-L reads
        // ahead into a bit buffer; the whole bytes left there lie after the
        // stream's end and are handed back, so that `inCount` counts exactly
        // the bytes after it. They may have come with an earlier call; then
        // `inCount` exceeds what this call was given, and `in` stops at its
        // first byte.
        const size_t unused = size_t(s.read_in_length > 0 ? s.read_in_length / 8 : 0);
        const size_t consumed = inCount - s.avail_in;
        in = s.next_in - (unused < consumed ? unused : consumed);
        inCount = s.avail_in + unused;
        return kit::InflateStep::kEnd;
    }

  private:
    kit::IsalFunctions isal_;
    std::unique_ptr<inflate_state> state_;
};
