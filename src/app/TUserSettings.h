#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The user's own settings of the program (print options, check rules, recent boards): one file,
// ~/.config/Ferrolume/Ferrolume.conf, whoever starts it. QSettings' default constructor needs an
// organisation name, which the program does not set, and would keep nothing.
inline std::unique_ptr<QSettings> UserSettings() {
  const QString name = QStringLiteral("Ferrolume");
  return std::make_unique<QSettings>(QSettings::UserScope, name, name);
}
