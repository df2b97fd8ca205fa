#include <QApplication>

#include "app/MessageDialog.h"
#include "app/fLogfile.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The application name is the title: the task-bar text and the caption of error boxes. A
    // display name would be appended to every window caption, so none is set.
    QApplication::setApplicationName(tavisto::kApplicationTitle);

    tavisto::TformLogfile formLogfile;
    formLogfile.show();
    application.exec();
    return 0;
}
