// The main page's first search, measured from outside: shows the wizard
// sheet (offscreen), and while the page searches the print system counts
// how often a 20 ms timer of the user-interface thread gets to run and
// looks at the page once the busy indicator is due. Prints
//   busy list=<0|1> search=<0|1> next=<0|1> indicator=<0|1>   (enabled/shown)
//   ticks <n>
//   took <ms>
//   printer <name> <address>        for each entry of the list
// With an argument, also saves a picture of the busy page in that file.
// The main page test runs it where network printers do not answer.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "app/main_page.h"
#include "app/tovik_sheet.h"
#include "app/tovik_tool_app.h"
#include "tests/support/recording_message_service.h"
#include "ui/controls.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing_support::RecordingMessageService messages;
    CTovikToolApp app(messages);
    CTovikSheet sheet(messages);

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    QElapsedTimer clock;
    clock.start();
    sheet.show();  // activates the main page: the search starts
    auto* page = static_cast<CMainPage*>(sheet.GetPage(0));
    if (!page->IsSearching()) {
        std::printf("error: no search under way\n");
        return 1;
    }
    QTimer::singleShot(CMainPage::kBusyIndicatorDelayMs + 150, [&] {
        std::printf("busy list=%d search=%d next=%d indicator=%d\n",
                    page->IsItemEnabled(1001) ? 1 : 0, page->IsItemEnabled(1002) ? 1 : 0,
                    sheet.Button(ui::WizardButton::Next)->isEnabled() ? 1 : 0,
                    page->BusyIndicator()->isVisible() ? 1 : 0);
        if (argc > 1) {
            sheet.grab().save(QString::fromLocal8Bit(argv[1]));
        }
    });
    QObject::connect(page, &CMainPage::printerListRebuilt, &application, [&] {
        std::printf("ticks %d\ntook %lld\n", ticks, static_cast<long long>(clock.elapsed()));
        auto* list = page->ItemAs<QComboBox>(1001);
        for (int i = 0; i < list->count(); ++i) {
            std::printf("printer %s %u\n", qPrintable(list->itemText(i)),
                        ui::ComboItemValue(list, i));
        }
        application.quit();
    });
    QTimer::singleShot(20000, [&] {
        std::printf("error: the search did not end\n");
        application.exit(1);
    });
    return application.exec();
}
