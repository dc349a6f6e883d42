// Runs the update library in a process of its own, so that the tests can read what it writes to
// standard output and start each case without the process-wide objects of an earlier one.
//
//     velmora_driver init <product id> <version> <configuration folder> [init ...]
//
// After each call it prints "VelmoraInitApp=<result>".

#include "Velmora.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QStringList>

#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The fake service is on loopback; a proxy from the environment must not come between.
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);

    QStringList args = app.arguments().mid(1);
    while (args.size() >= 4 && args.first() == QLatin1String("init")) {
        const int result = Velmora::gInstance()->VelmoraInitApp(args.at(1), args.at(2), args.at(3));
        std::cout << "VelmoraInitApp=" << result << std::endl;
        args = args.mid(4);
    }
    if (!args.isEmpty()) {
        std::cerr << "velmora_driver: unexpected arguments" << std::endl;
        return 2;
    }
    return 0;
}
