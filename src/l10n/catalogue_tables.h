// The raw per-language text rows the catalogue is built from. Each language
// file (catalogue_<code>.cpp) defines one array of exactly kCatalogueKeyCount
// rows, keys in the same order as the English table. The arrays are constant
// data, so they are ready before any static constructor reads them.
#pragma once

#include <cstddef>

struct CatalogueRow {
    const char* key;
    const char* text;  // UTF-8
};

constexpr std::size_t kCatalogueKeyCount = 56;
using CatalogueRows = CatalogueRow[kCatalogueKeyCount];

struct CatalogueLanguage {
    int number;
    const char* code;
    const CatalogueRows* rows;
};

extern const CatalogueRows kCatalogueHy;
extern const CatalogueRows kCatalogueAz;
extern const CatalogueRows kCatalogueBg;
extern const CatalogueRows kCatalogueZh;
extern const CatalogueRows kCatalogueEn;
extern const CatalogueRows kCatalogueFr;
extern const CatalogueRows kCatalogueKa;
extern const CatalogueRows kCatalogueDe;
extern const CatalogueRows kCatalogueEs;
extern const CatalogueRows kCatalogueHu;
extern const CatalogueRows kCatalogueIt;
extern const CatalogueRows kCatalogueKk;
extern const CatalogueRows kCatalogueLv;
extern const CatalogueRows kCatalogueLt;
extern const CatalogueRows kCataloguePl;
extern const CatalogueRows kCatalogueRo;
extern const CatalogueRows kCatalogueRu;
extern const CatalogueRows kCatalogueTr;
extern const CatalogueRows kCatalogueUk;
extern const CatalogueRows kCatalogueVi;
extern const CatalogueRows kCatalogueTk;

// "ar" has no rows of its own: it is built from kCatalogueEn.

// Every language in number order (22 entries; number 18 is not used).
constexpr std::size_t kCatalogueLanguageCount = 22;
extern const CatalogueLanguage kCatalogueLanguages[kCatalogueLanguageCount];
