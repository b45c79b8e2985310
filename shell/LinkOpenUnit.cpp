#include "LinkOpenUnit.h"

#include <QDesktopServices>

#include "LoggerUnit.h"

namespace lexmora {

bool IsOpenableLink(const QUrl& AUrl) {
  if (!AUrl.isValid() || AUrl.isRelative()) return false;
  const QString Scheme = AUrl.scheme().toLower();
  if (Scheme == QLatin1String("mailto")) return !AUrl.path().isEmpty();
  return (Scheme == QLatin1String("http") || Scheme == QLatin1String("https")) && !AUrl.host().isEmpty();
}

bool OpenExternalLink(const QString& ALink) {
  const QUrl Url(ALink.trimmed(), QUrl::StrictMode);
  if (!IsOpenableLink(Url)) {
    Logger().AddWarning("Link not opened (only http, https and mailto addresses are): " +
                        ALink.left(200).toStdString());
    return false;
  }
  if (QDesktopServices::openUrl(Url)) return true;
  Logger().AddWarning("The desktop could not open the link: " + Url.toString().toStdString());
  return false;
}

}  // namespace lexmora
