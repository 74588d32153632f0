// The key files of mkkit keygen, one line each:
//   NAME.sec  "kit-secret-key ed25519 <64 hex digits>"  (mode 0600)
//   NAME.pub  "kit-public-key ed25519 <64 hex digits>"
// The public key's hex digits are also what SETUP_KIT_PUBLIC_KEY takes.
#pragma once
#include <string>

#include "kit/kit_crypto.h"

// Writes both files; fails, writing neither, when either exists.
bool WriteKeyFiles(const std::string& base, const kit::SecretKey& secret, const kit::PublicKey& pub,
                   std::string* error);
bool ReadSecretKeyFile(const std::string& path, kit::SecretKey* key, std::string* error);
bool ReadPublicKeyFile(const std::string& path, kit::PublicKey* key, std::string* error);
