#include "ui/dialog_template.h"

#include <QFile>
#include <QUiLoader>
#include <QVBoxLayout>

#include "ui/accessibility.h"
#include "ui/ip_address_edit.h"

static void InitDialogResources() {
    Q_INIT_RESOURCE(dialogs);
}

namespace ui {

namespace {

QString TemplatePath(int templateId) {
    return QStringLiteral(":/dialogs/%1.ui").arg(templateId);
}

// Knows the controls of our own that templates may use besides Qt's.
class TemplateLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (className == QLatin1String("ui::IpAddressEdit")) {
            auto* widget = new IpAddressEdit(parent);
            widget->setObjectName(name);
            return widget;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

}  // namespace

bool HasDialogTemplate(int templateId) {
    InitDialogResources();
    return QFile::exists(TemplatePath(templateId));
}

bool BuildDialogTemplate(int templateId, QWidget* parent) {
    InitDialogResources();
    // Before the controls exist: Qt keeps the first interface it makes.
    InstallAccessibleControls();
    if (parent == nullptr || parent->layout() != nullptr) {
        return false;
    }
    QFile file(TemplatePath(templateId));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    TemplateLoader loader;
    QWidget* form = loader.load(&file, parent);
    if (form == nullptr) {
        return false;
    }
    // The form fills `parent`; its controls are descendants of `parent`, so
    // they are found there by their ids.
    form->setObjectName(QStringLiteral("template_%1").arg(templateId));
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    // Built into a page already on screen: the layout would show the form
    // only later, and until then no control would count as visible (the
    // page's first control could not be found to give it the focus).
    if (parent->isVisible()) {
        form->show();
    }
    if (parent->windowTitle().isEmpty()) {
        parent->setWindowTitle(form->windowTitle());
    }
    return true;
}

}  // namespace ui
