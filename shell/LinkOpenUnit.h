// Hands web and mail addresses to the desktop; nothing else is ever opened from a link.
#pragma once

#include <QString>
#include <QUrl>

namespace lexmora {

// True for an absolute http or https address with a host, or a mailto address.
bool IsOpenableLink(const QUrl& AUrl);

// Opens ALink with the desktop's handler when IsOpenableLink; a refused or failed address is
// logged. Returns whether the desktop took it.
bool OpenExternalLink(const QString& ALink);

}  // namespace lexmora
