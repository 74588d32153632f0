// The signatures a program requires of its kit, fixed when the program is
// built. The core's own definitions (kit/program_trust.cpp) are weak and
// require nothing: a kit's signature is then checked only by keys the caller
// adds. A front end built with SETUP_KIT_PUBLIC_KEY also links
// src/keys/program_kit_key.cpp, whose definitions take their place, so that
// the program refuses every kit not signed by that key.
#pragma once
#include <string>

#include "kit/kit_seal.h"

namespace kit {

KitTrust ProgramKitTrust();
// Who must have signed the kit, for the refusal's message (UTF-8); empty
// when the program requires no signature.
std::string ProgramKitSigner();

}  // namespace kit
