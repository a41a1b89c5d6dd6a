// The texts of the splash and the about window, taken from the program's version strings.
#pragma once

#include <QString>
#include <QStringList>

namespace vt::desktop {

// The version strings the two windows show (missing ones are empty).
struct AboutTexts {
    QString FileDescription;
    QString FileVersion;
    QString ProductName;
    QString ProductVersion;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString HomePage;
    QString EMail;

    // Picks the strings out of name=value lines as ReadVersionInfo gives them.
    static AboutTexts fromVersionInfo(const QStringList& lines);

    // The splash's version line: "Версия " + FileVersion up to its second "." (only "Версия "
    // when it has fewer than two dots).
    QString splashVersion() const;
    // The about window's version line, "Версия " + FileVersion.
    QString aboutVersion() const;
    // The about window's product and legal lines: ProductName, a blank, ProductVersion and a line
    // break when there is a product name; then LegalCopyright; then a line break and
    // LegalTrademarks when there are trademarks.
    QString legalText() const;
};

// The product logo file of the splash in the folder: "LOGO." with the first of the extensions
// GIF, JPG, JPEG, BMP, WMF, EMF that exists (in capitals or small letters); empty when none does.
QString findProductLogo(const QString& folder);

} // namespace vt::desktop
