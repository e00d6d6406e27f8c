#include "surface/SurfaceSettings.h"

#include "platform/cRegistry.h"

namespace {

const QString kSection = QStringLiteral("Control Surface");

cRegistry key(const char *name)
{
    return cRegistry::AppKey(QString::fromLatin1(name), cRegistry::Text, kSection);
}

} // namespace

SurfaceSettings SurfaceSettings::Load()
{
    SurfaceSettings s;
    s.enabled = key("OSC Enabled").Value().toString().trimmed() == QLatin1String("1");
    bool ok = false;
    const int port = key("OSC Port").Value().toString().trimmed().toInt(&ok);
    if (ok && port >= 1 && port <= 65535)
        s.port = port;
    if (key("OSC Address").Value().toString().trimmed() == kAllNetworks)
        s.address = kAllNetworks;
    return s;
}

void SurfaceSettings::Store() const
{
    key("OSC Enabled").SetValue(enabled ? QStringLiteral("1") : QStringLiteral("0"));
    key("OSC Port").SetValue(QString::number(port));
    key("OSC Address").SetValue(address == kAllNetworks ? kAllNetworks : kThisComputer);
}
