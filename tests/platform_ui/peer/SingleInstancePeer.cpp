// Another copy of the program for the single-instance tests:
//   single_instance_peer NAME
// registers under NAME and prints "first" or "second". A first copy then
// waits and prints "raised" when a later copy asks it to come forward, and
// ends; a second copy asks the first one to come forward and ends.
#include <QCoreApplication>

#include <cstdio>

#include "platform/ui/SingleInstance.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 2;
    platform::ui::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (!instance.registerInstance()) {
        instance.notify();
        std::puts("second");
        return 0;
    }
    QObject::connect(&instance, &platform::ui::SingleInstance::raised, &application, [] {
        std::puts("raised");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    std::puts("first");
    std::fflush(stdout);
    return application.exec();
}
