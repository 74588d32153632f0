// One product description of a kit, per language: what the welcome page shows
// and where the description document lies inside the installed tree.
#pragma once
#include "text/basic_string.h"

namespace config {

struct ProductInfo {
    stdx::basic_string<char16_t> language;     // e.g. "en", compared ignoring ASCII case
    stdx::basic_string<char16_t> product;      // product name
    stdx::basic_string<char16_t> provider;     // provider (vendor) name
    stdx::basic_string<char16_t> description;  // document path, "\" separated, relative
};

}  // namespace config
