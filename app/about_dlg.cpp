#include "app/about_dlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>

#include "app/app_ids.h"
#include "app/framework_texts.h"
#include "app/pictures.h"
#include "app/texts.h"
#include "app/tovik_tool_app.h"
#include "ui/message_service.h"

using namespace kpm::ids;

QSize CAboutDlg::ScaledBannerSize(QSize size96, int dpi) {
    return {size96.width() * dpi / 96, size96.height() * dpi / 96};
}

void CAboutDlg::OnInitDialog() {
    QString caption;
    if (LoadText(IDS_TITLE, caption) == 0) {
        setWindowTitle(caption);
    }
    SetControlText(Item(IDC_ABOUT_VERSION), IDS_ABOUT_VERSION);
    SetControlText(Item(IDC_ABOUT_NOTICE), IDS_ABOUT_NOTICE);
    if (auto* ok = ItemAs<QAbstractButton>(ui::kIdOk)) {
        ok->setText(app::FrameworkTextsFor(CTovikToolApp::Instance().GetLanguageId()).ok);
    }

    const QScreen* screen = this->screen();
    const int dpi = screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchX()) : 96;
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    if (auto* banner = ItemAs<QLabel>(IDC_ABOUT_BANNER)) {
        const QSize size = ScaledBannerSize(app::PictureSize(app::kBannerResource), dpi);
        banner->setFixedSize(size);
        banner->setPixmap(app::RenderPicture(app::kBannerResource, size, ratio));
        banner->setAccessibleName(caption);
    }
    if (auto* icon = findChild<QLabel*>(QStringLiteral("about_icon"))) {
        const int side = 32 * dpi / 96;
        icon->setFixedSize(side, side);
        icon->setPixmap(app::RenderPicture(app::kIconResource, QSize(side, side), ratio));
        icon->setAccessibleName(caption);
    }
}
