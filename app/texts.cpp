#include "app/texts.h"

#include <QWidget>

#include "app/app_ids.h"
#include "app/framework_texts.h"
#include "app/tovik_tool_app.h"
#include "ui/controls.h"
#include "ui/message_service.h"

using namespace kpm::ids;

int LoadText(int id, QString& text) {
    return CTovikToolApp::Instance().Strings().Load(id, text);
}

int SetControlText(QWidget* control, int id) {
    if (control == nullptr) {
        return -101;
    }
    QString text;
    const int result = LoadText(id, text);
    if (result == 0) {
        ui::SetWindowText(control, text);
    }
    return result;
}

namespace {

int ShowBox(int id, int code, QWidget* owner, const QString& caption, ui::MessageIcon icon) {
    QString text;
    const int result = LoadText(id, text);
    if (result != 0) {
        return result;
    }
    if (code != 0) {
        text = QStringLiteral("%1 (%2)").arg(text).arg(code);
    }
    CTovikToolApp& app = CTovikToolApp::Instance();
    ui::MessageBoxRequest request;
    request.owner = owner;
    request.caption = caption;
    request.text = text;
    request.icon = icon;
    request.okText = app::FrameworkTextsFor(app.GetLanguageId()).ok;
    app.Messages().ShowMessageBox(request);
    return 0;
}

}  // namespace

int ShowMessage(int id, int code) {
    return ShowBox(id, code, nullptr, CTovikToolApp::Instance().ApplicationTitle(),
                   ui::MessageIcon::Exclamation);
}

int ShowInformation(int id, QWidget* owner) {
    return ShowBox(id, 0, owner, QString::fromLatin1(kInformationCaption), ui::MessageIcon::None);
}

int ShowStopMessage(int id, QWidget* owner) {
    return ShowBox(id, 0, owner, CTovikToolApp::Instance().ApplicationTitle(),
                   ui::MessageIcon::Stop);
}

int ErrorMessageTextId(int code) {
    switch (code) {
        case 0:
            return 0;
        case 1:
        case 14:
        case 15:
        case 16:
        case 17:
        case 18:
            return IDS_ERR_PRINTER_OPERATING;  // the printer is operating
        case 6:
            return IDS_ERR_PRINTER_FAILED;
        case 7:
            return IDS_ERR_SETTING_FAILED;
        case 12:
            return IDS_ERR_ASSIGN_ADDRESS;
        case 13:
            return IDS_ERR_ASSIGN_GATEWAY;
        case 19:
            return IDS_ERR_SET_CLOCK;  // the printer refused the clock
        case 1001:
        case 1002:
        case 1003:
        case 1004:
        case 1007:
        case 1010:
            // PrinterNotFound, UnsupportedPort, PrinterNotAvailable,
            // AccessDenied, OutOfMemory, SystemError
            return IDS_ERR_UNEXPECTED;
        case 1005:
        case 1006:
        case 1011:
            // Timeout, InvalidResponse, CommunicationError
            return IDS_ERR_COMMUNICATION;
        case 1009:
            return IDS_ERR_RETRY_COMMUNICATION;  // UsbPortBusy
        case -223:
            return IDS_ERR_UNRECOGNIZED_SERIAL;  // a serial number the head page rejects
        case -210:
            return IDS_ERR_UPDATE_FIRMWARE;  // firmware too old
        default:
            // InvalidArgument, PlatformError, Unexpected and unknown words
            return IDS_ERR_INTERNAL;
    }
}
