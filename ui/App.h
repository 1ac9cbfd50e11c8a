#pragma once
// The application object: an exception that reaches the event loop is shown in a message
// box and the loop goes on. Help asked for on the desktop opens the program's help window.
#include <QApplication>

class TPlanoraApp : public QApplication {
public:
    TPlanoraApp(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of the exception being handled (called from a catch block).
void ShowCurrentException();
