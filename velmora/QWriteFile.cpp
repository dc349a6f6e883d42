#include "QWriteFile.h"

#include <QFileInfo>
#include <QSettings>

#include <iostream>

namespace {
const QString InitCodeKey = QStringLiteral("INIT_CODE");
// A store without the key was written by a version that predates it; 2.0.0 is the last such version.
const QString VersionBeforeInitCode = QStringLiteral("2.0.0");
} // namespace

QWriteFile::QWriteFile(QObject* parent) : QObject(parent) {}

QWriteFile* QWriteFile::gInstance(QObject* parent)
{
    static QWriteFile* instance = new QWriteFile(parent);
    return instance;
}

bool QWriteFile::checkInitCode(QString configDir, QString version)
{
    // configDir is used as given: the program's ends in "/", and the doubled separator is harmless.
    const QString path = QStringLiteral("%1/config.cfg").arg(configDir);
    // Asked before QSettings exists, which could otherwise be the one to create the file.
    const bool storeExisted = QFileInfo::exists(path);
    QSettings store(path, QSettings::IniFormat);
    if (storeExisted) {
        // Any difference counts, downgrades and a changed letter case included.
        if (store.value(InitCodeKey, VersionBeforeInitCode).toString() == version) {
            std::cout << "0" << std::endl;
            return false;
        }
    }
    // Written before the install notification goes out, so a failed notification is not repeated.
    store.setValue(InitCodeKey, version);
    store.sync();
    return true;
}
