// How every document the program writes tells that it could not: the file's
// name first, then the reason when there is one.
#pragma once

#include "records/result.h"

#include <QString>

namespace vantorel::exchange {

inline vantorel::Failure CannotWrite(const QString& path, const QString& why) {
    return vantorel::Failure{(why.isEmpty() ? QStringLiteral("无法写入文件 %1").arg(path)
                                            : QStringLiteral("无法写入文件 %1：%2").arg(path, why))
                                 .toStdString()};
}

} // namespace vantorel::exchange
