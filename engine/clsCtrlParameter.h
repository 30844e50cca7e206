#pragma once

#include <QString>

// One remembered connection.
class clsCtrlParameter final
{
public:
    // 1 = provider connection (QUOR and BRAKKA ways), 2 = TULO query-server connection.
    qint32 m_lConnectType = 0;
    // Also the key of the record in the recent-connection list.
    QString m_strControllerName;
    QString m_strProviderName;
    QString m_strMachineName;
    QString m_strOptionVal;
    // Number of tag rows; used only while a tag setting file is read.
    qint32 m_lTagDataCnt = 0;
};
