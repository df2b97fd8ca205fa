#include <QApplication>

#include "app/fLogfile.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tavisto LogFileViewer");
    QApplication::setApplicationDisplayName("Tavisto LogFileViewer");

    tavisto::TformLogfile formLogfile;
    formLogfile.show();
    application.exec();
    return 0;
}
