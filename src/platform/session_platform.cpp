#include "platform/session_platform.h"

#include <QByteArray>
#include <QList>
#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

bool startsOnXWayland(int argc, const char* const* argv)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return false;
    }
    return true;
}

void chooseSessionPlatform(int argc, const char* const* argv)
{
    if (startsOnXWayland(argc, argv))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage>* heldMessages = nullptr;
int startupExitStatus = 1;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fputs(noDisplayText(), stderr);
        std::fflush(stderr);
        std::_Exit(startupExitStatus);
    }
    heldMessages->append({type, QByteArray(context.category ? context.category : ""), text});
}

} // namespace

const char* noDisplayText()
{
    return "mireldo: 画面に接続できません。デスクトップのグラフィカルなセッションの中で起動してください"
           "（表示先は環境変数 QT_QPA_PLATFORM で選べます）\n";
}

ToolkitStartup::ToolkitStartup(int exitStatus)
{
    startupExitStatus = exitStatus;
    heldMessages = new QList<HeldMessage>;
    previousHandler = qInstallMessageHandler(holdStartupMessage);
}

ToolkitStartup::~ToolkitStartup()
{
    qInstallMessageHandler(previousHandler);
    const QList<HeldMessage> messages = std::move(*heldMessages);
    delete heldMessages;
    heldMessages = nullptr;
    for (const HeldMessage& message : messages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}

} // namespace platform
