// The defaults of a program built without a required kit key.
#include "kit/program_trust.h"

namespace kit {

__attribute__((weak)) KitTrust ProgramKitTrust() {
    return KitTrust();
}

__attribute__((weak)) std::string ProgramKitSigner() {
    return std::string();
}

}  // namespace kit
