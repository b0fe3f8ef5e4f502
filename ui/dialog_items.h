// What pages and dialogs do with the controls of their template, by control
// id: show, hide, enable, set text, check, select, and react to clicks,
// selection changes and edits.
//
// An id that the built template lacks is a mistake in the page (a mistyped
// or stale id): debug builds, and so every test, throw MissingControl at
// once. Release builds ignore it in the setters and read it as empty, as a
// missing dialog item does. Before the template is built nothing is found
// and nothing is reported.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class QWidget;

namespace ui {

class MissingControl : public std::logic_error {
public:
    MissingControl(int id, const QString& templateName);
    int Id() const { return id_; }

private:
    int id_;
};

class DialogItems {
public:
    explicit DialogItems(QWidget* root);

    // The control, or nullptr (see above for an id the template lacks).
    QWidget* Item(int id) const;
    template <typename T>
    T* ItemAs(int id) const {
        return qobject_cast<T*>(Item(id));
    }

    void SetItemText(int id, const QString& text);
    QString ItemText(int id) const;
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    bool IsItemVisible(int id) const;
    bool IsItemEnabled(int id) const;

    // Check boxes and radio buttons. Unchecking a radio button works also
    // when it is the selected one of its group (all radios may be cleared).
    bool IsItemChecked(int id) const;
    void CheckItem(int id, bool checked);
    // Selects `id` and clears every other radio of first..last.
    void CheckRadio(int first, int last, int id);

    // Drop-down lists: the selected index (-1 for none).
    int SelectedIndex(int id) const;
    void SelectIndex(int id, int index);

    // Notifications. Each handler runs after the control changed.
    // OnClicked: a button pressed, or a check box or radio button changed by
    // the user in whatever way (mouse, Space, arrow keys within the group,
    // its accessibility action), once per change; CheckItem, CheckRadio and
    // setChecked, the page's own changes, run no handler.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelChange(int id, std::function<void()> handler);
    void OnEditChange(int id, std::function<void()> handler);

private:
    void ReportMissing(int id) const;

    QWidget* root_;
};

}  // namespace ui
