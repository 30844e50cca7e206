#include "app/VersionText.h"

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("QuorTagEditor Version : %1.%2.0.%3").arg(major).arg(minor).arg(revision);
}
