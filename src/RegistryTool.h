#pragma once

#include <QObject>

class QSettings;

// The interface language, kept in the platform's native settings store under the organisation and
// application names (on Linux the file ~/.config/Tamrik/Zolvane.conf). Made on first use and kept
// until the process ends. GUI thread only.
class RegistryTool : public QObject
{
public:
    static RegistryTool* gInstance();
    ~RegistryTool() override;

    int language(); // 1 (English) when none is stored; 0 when the stored value is not a number
    void setLanguage(int id);

private:
    RegistryTool();
    Q_DISABLE_COPY(RegistryTool)

    QSettings* settings; // child of this tool
};
