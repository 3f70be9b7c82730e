#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>

namespace tarnwick {

// The translation of the window's texts into the locale's language, or nothing where the texts
// are shown as written (in English).
std::unique_ptr<QTranslator> translationFor(const QLocale& locale);

} // namespace tarnwick
