// The About box (template 100): version line, notice, banner and icon.
#pragma once

#include "app/app_ids.h"
#include "ui/dialog.h"

class CAboutDlg : public ui::Dialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr) : ui::Dialog(kpm::ids::IDD_ABOUT, parent) {}

    // The banner's size for a screen of `dpi` logical pixels per inch: its
    // 96-dpi size scaled by dpi / 96, rounded toward zero.
    static QSize ScaledBannerSize(QSize size96, int dpi);

protected:
    void OnInitDialog() override;
};
