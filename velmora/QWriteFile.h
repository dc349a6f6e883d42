#pragma once

#include <QObject>
#include <QString>

// Owner of the store "config.cfg": an INI file in the configuration folder whose one key "INIT_CODE"
// holds the program version that ran last, so that the first run of each version can be told apart.
class QWriteFile : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(QWriteFile)

public:
    // Made at the first call with that call's parent, never freed; later calls ignore the argument.
    static QWriteFile* gInstance(QObject* parent = nullptr);

    // True when version is not the one the store held (or there was no store): the store now holds it.
    // False when the store already held exactly this version; the file is then left untouched.
    bool checkInitCode(QString configDir, QString version);

private:
    explicit QWriteFile(QObject* parent);
};
