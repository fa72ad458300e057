#pragma once

#include <QString>
#include <string>

namespace tandu::qt {

// Program texts are single-byte strings in the user's local encoding.
inline QString toQ(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQ(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace tandu::qt
