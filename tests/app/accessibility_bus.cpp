#include "tests/app/accessibility_bus.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/process.h"

extern char** environ;

namespace kpm::test {
namespace {

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
// Bounds against a program that shows an endless tree.
constexpr int kMaxDepth = 24;
constexpr size_t kMaxObjects = 4000;

QDBusMessage Call(QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& interface, const QString& method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, 2000);
}

void Walk(QDBusConnection& bus, const QString& service, const QString& path, int depth,
          std::vector<std::string>& names, size_t& visited) {
    if (depth > kMaxDepth || ++visited > kMaxObjects) {
        return;
    }
    const QDBusMessage name = Call(bus, service, path, "org.freedesktop.DBus.Properties", "Get",
                                   {QString(kAccessible), QString("Name")});
    if (name.type() == QDBusMessage::ReplyMessage && !name.arguments().isEmpty()) {
        const QString text = name.arguments().at(0).value<QDBusVariant>().variant().toString();
        if (!text.isEmpty()) {
            names.push_back(text.toStdString());
        }
    }
    const QDBusMessage children = Call(bus, service, path, kAccessible, "GetChildren");
    if (children.type() != QDBusMessage::ReplyMessage || children.arguments().isEmpty()) {
        return;
    }
    // a(so): the bus name and object path of each child.
    std::vector<std::pair<QString, QString>> refs;
    const QDBusArgument list = children.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString childService;
        QDBusObjectPath childPath;
        list.beginStructure();
        list >> childService >> childPath;
        list.endStructure();
        refs.emplace_back(childService, childPath.path());
    }
    list.endArray();
    for (const auto& [childService, childPath] : refs) {
        Walk(bus, childService.isEmpty() ? service : childService, childPath, depth + 1, names,
             visited);
    }
}

}  // namespace

AccessibilityBus::AccessibilityBus() {
    char pattern[] = "/tmp/kpm-a11y-bus-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        error_ = "no folder for the accessibility bus";
        return;
    }
    dir_ = pattern;
    const std::string daemon = FindProgram("dbus-daemon");
    if (daemon.empty()) {
        error_ = "dbus-daemon is missing: install the Debian package dbus-daemon";
        return;
    }
    if (FindProgram("at-spi-bus-launcher").empty() &&
        !std::filesystem::exists("/usr/libexec/at-spi-bus-launcher")) {
        error_ = "at-spi-bus-launcher is missing: install the Debian package at-spi2-core";
        return;
    }
    const std::filesystem::path socket = dir_ / "bus";
    address_ = "unix:path=" + socket.string();
    // The launcher it starts puts the accessibility bus under
    // $XDG_RUNTIME_DIR, here the test's folder.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("XDG_RUNTIME_DIR=" + dir_.string());
    std::vector<char*> envp = ArgvOf(env);
    pid_ = StartProcess({daemon, "--session", "--nofork", "--nopidfile", "--address=" + address_},
                        envp.data());
    if (pid_ < 0) {
        error_ = "dbus-daemon did not start";
        return;
    }
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!std::filesystem::exists(socket)) {
        error_ = "dbus-daemon did not open " + socket.string();
    }
}

AccessibilityBus::~AccessibilityBus() {
    Stop();
    std::error_code ignored;
    if (!dir_.empty()) {
        std::filesystem::remove_all(dir_, ignored);
    }
}

void AccessibilityBus::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        WaitProcess(pid_);
        pid_ = -1;
    }
}

std::vector<std::string> AccessibilityBus::Environment() const {
    return {"DBUS_SESSION_BUS_ADDRESS=" + address_, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"};
}

std::vector<std::string> AccessibilityBus::Names() const {
    std::vector<std::string> names;
    if (!error_.empty() || pid_ < 0) {
        return names;
    }
    const QString sessionId = QString("kpm-session-%1-%2").arg(pid_).arg(++connections_);
    const QString id = QString("kpm-a11y-%1-%2").arg(pid_).arg(connections_);
    QString a11yAddress;
    {
        QDBusConnection session =
            QDBusConnection::connectToBus(QString::fromStdString(address_), sessionId);
        const QDBusMessage reply =
            Call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            a11yAddress = reply.arguments().at(0).toString();
        }
    }
    QDBusConnection::disconnectFromBus(sessionId);
    if (a11yAddress.isEmpty()) {
        return names;
    }
    {
        QDBusConnection bus = QDBusConnection::connectToBus(a11yAddress, id);
        if (bus.isConnected() && bus.interface() != nullptr) {
            size_t visited = 0;
            for (const QString& service : bus.interface()->registeredServiceNames().value()) {
                if (service.startsWith(':') && service != bus.baseService()) {
                    Walk(bus, service, kRootPath, 0, names, visited);
                }
            }
        }
    }
    QDBusConnection::disconnectFromBus(id);
    return names;
}

}  // namespace kpm::test
