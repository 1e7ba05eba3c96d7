#pragma once

#include <QString>
#include <optional>

// Local messages (the messages database beside the executable) and parameters
// (the xxPARAM table of the business database).
bool InitMsgDB();
QString LocalMsg(const QString &msgID, const std::optional<QString> &p1 = {},
                 const std::optional<QString> &p2 = {}, const std::optional<QString> &p3 = {});
QString JXMSG(const QString &msgID, const std::optional<QString> &p1 = {},
              const std::optional<QString> &p2 = {}, const std::optional<QString> &p3 = {});
bool getParamValue(const QString &paramID, QString &value);
