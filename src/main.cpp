#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The window arrives with the user interface; until then there is nothing to show.
    std::fputs("Zolvane: the main window is not built yet.\n", stderr);
    return 0;
}
