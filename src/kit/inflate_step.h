// What one call into an inflate back end found.
#pragma once

namespace kit {

enum class InflateStep {
    kMore,     // the stream goes on: more input or more output room is needed
    kEnd,      // the final block is done; input after it is not part of the stream
    kDamaged,  // invalid deflate data, or the back end could not work
};

}  // namespace kit
