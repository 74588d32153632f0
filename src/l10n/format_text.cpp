// Catalogue texts with parts filled in at run time ("%1", "%2", ...), so
// that each language may put the parts where its word order wants them.
#include "l10n/localization.h"

stdx::string16 FormatText(const stdx::string16& pattern,
                          std::initializer_list<stdx::string16> args) {
    stdx::string16 out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'9') {
            const size_t n = size_t(pattern[i + 1] - u'1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

stdx::string16 FormatLocalized(const char* key, std::initializer_list<stdx::string16> args) {
    return FormatText(GetLocalizedString(key), args);
}
