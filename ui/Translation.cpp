#include "ui/Translation.h"

namespace tarnwick {

std::unique_ptr<QTranslator> translationFor(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    // Built into the program from translations/tarnwick_<language>.ts.
    if (!translator->load(locale, "tarnwick", "_", ":/i18n"))
        return nullptr;
    return translator;
}

} // namespace tarnwick
