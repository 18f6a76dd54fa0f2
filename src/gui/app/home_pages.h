#pragma once

#include <QString>

namespace xyx {

inline const QString kProductHomePage = QStringLiteral("https://xiyingxia.example.org/");
inline const QString kMakerHomePage = QStringLiteral("https://yuanhe.example.org/");

}  // namespace xyx
