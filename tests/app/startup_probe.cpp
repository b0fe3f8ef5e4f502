// The wizard's start-up routine without the wizard: prints every message box
// as "BOX <caption>|<text>" and, where the wizard would run, prints
// "RUNNING demo=<0|1> language=<id>" and waits until its standard input
// closes. Started under different names (symlinks) by the start-up tests.
#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>

#include "app/tovik_tool_app.h"
#include "ui/message_service.h"

namespace {

class PrintingMessageService : public ui::MessageService {
public:
    int ShowMessageBox(const ui::MessageBoxRequest& request) override {
        std::cout << "BOX " << request.caption.toStdString() << "|" << request.text.toStdString()
                  << std::endl;
        return ui::kIdOk;
    }
    int RunModal(QDialog&) override { return ui::kIdOk; }
};

class ProbeApp : public CTovikToolApp {
public:
    using CTovikToolApp::CTovikToolApp;

protected:
    int RunSheet() override {
        std::cout << "RUNNING demo=" << IsDemoMode() << " language=" << GetLanguageId()
                  << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QApplication application(argc, argv);
    PrintingMessageService messages;
    ProbeApp app(messages);
    return app.InitInstance(arguments);
}
