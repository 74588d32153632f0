// The back end the kit's inflation uses: ISA-L when the library was found
// when the program ran (kit/isal_library.h), else zlib. Both give the same
// image for the same kit; ISA-L only faster.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "kit/inflate_step.h"
#include "kit/isal_library.h"
#include "kit/zlib_inflater.h"
#if SETUP_HAVE_ISAL
#include "kit/isal_inflater.h"
#endif

class RuntimeInflater {
  public:
    RuntimeInflater() {
#if SETUP_HAVE_ISAL
        if (const kit::IsalFunctions* functions = kit::IsalLibrary()) {
            isal_.reset(new IsalInflater(*functions));
            return;
        }
#endif
        zlib_.reset(new ZlibInflater);
    }
    RuntimeInflater(const RuntimeInflater&) = delete;
    RuntimeInflater& operator=(const RuntimeInflater&) = delete;

    // "isa-l" or "zlib": what this process inflates with.
    static const char* Name() {
        return kit::IsalLibrary() != nullptr ? "isa-l" : ZlibInflater::kName;
    }

    kit::InflateStep Inflate(const uint8_t*& in, size_t& inCount, uint8_t*& out, size_t& outRoom) {
#if SETUP_HAVE_ISAL
        if (isal_) {
            return isal_->Inflate(in, inCount, out, outRoom);
        }
#endif
        return zlib_->Inflate(in, inCount, out, outRoom);
    }

  private:
#if SETUP_HAVE_ISAL
    std::unique_ptr<IsalInflater> isal_;
#endif
    std::unique_ptr<ZlibInflater> zlib_;
};
