// An IPv4 address entry: four number fields of 0 to 255 between dots. Typing
// a dot or the third digit moves to the next field; Backspace in an empty
// field moves back. The address is a 32-bit value in host byte order.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

class QLineEdit;

namespace ui {

class IpAddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    void SetAddress(std::uint32_t address);
    std::uint32_t Address() const;  // empty fields count as 0
    bool IsBlank() const;
    void Clear();
    QLineEdit* Field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

signals:
    void AddressChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void UpdateAccessibleNames();
    std::array<QLineEdit*, 4> fields_{};
};

}  // namespace ui
