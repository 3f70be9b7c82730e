#pragma once

#include <QFont>
#include <QStringList>

namespace tarnwick {

// The windows' fonts, by the names they were designed with; fontconfig picks the closest the
// machine has (a Microsoft font where installed, else a sans serif of the same size).
inline QFont designFont(const char* family, int pixelSize) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

// Where the designed fonts are missing, fonts of about their width stand in for them.
inline void installFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif",
                               QStringList{"Liberation Sans", "Arial", "DejaVu Sans"});
    QFont::insertSubstitutions("Tahoma", QStringList{"Liberation Sans", "Verdana", "DejaVu Sans"});
}

inline QFont msSansSerif8() {
    return designFont("MS Sans Serif", 11);
}
inline QFont tahoma8() {
    return designFont("Tahoma", 11);
}

} // namespace tarnwick
