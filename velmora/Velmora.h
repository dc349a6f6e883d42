#pragma once

#include <QString>

// The program imports this class; the library builds with VELMORA_LIBRARY defined and exports it.
#if defined(VELMORA_LIBRARY)
#define VELMORA_EXPORT Q_DECL_EXPORT
#else
#define VELMORA_EXPORT Q_DECL_IMPORT
#endif

// The update service as the program sees it: one process-wide object that remembers who is asking
// (product, version, device, configuration folder), tells the web service once per installed version
// that the program was installed, and asks it whether a newer version exists.
//
// Every member runs on the caller's thread. The network calls block for at most about 3 s in a local
// event loop that keeps timers and queued signals running but holds back keyboard and mouse input.
class VELMORA_EXPORT Velmora
{
public:
    Velmora();
    Velmora(const Velmora& other);
    Velmora(Velmora&& other) noexcept;
    ~Velmora();
    Velmora& operator=(const Velmora& other);
    Velmora& operator=(Velmora&& other) noexcept;

    // Made at the first call and never freed.
    static Velmora* gInstance();

    // Stores the identity and records this version in "config.cfg" in configDir. Returns 1 on the first
    // run of this version, after the install notification was sent, else 0.
    int VelmoraInitApp(QString productId, QString version, QString configDir);
    // Sends the install notification for the stored identity.
    void checkFirstRun();
    // Asks the service for the latest version. True when it answered "newer version" (code 400, with
    // latestVersion and downloadUrl filled in) or "up to date" (code 201); otherwise false, with code the
    // HTTP status (0 without an answer), 0 for an unreadable answer, or the service's own code.
    bool checkVersionUpdate(int& code, QString& latestVersion, QString& downloadUrl);

private:
    bool initialised = false;
    QString traceTag;
    QString deviceId;
    QString version;
    QString productId;
    QString configDir;
};
