// glowdeck-cli: headless access to Glowdeck projects for scripts and tests.
#include <QDir>
#include <QGuiApplication>

#include "base/AccessError.h"
#include "base/Allocator.h"
#include "base/HeadlessEnvironment.h"
#include "cli/CliSupport.h"
#include "cli/CommandHelp.h"
#include "cli/CompileCommands.h"
#include "cli/DeviceCommands.h"
#include "cli/EditCommands.h"
#include "cli/ProjectCommands.h"
#include "cli/RenderCommands.h"

int main(int argc, char** argv) {
    glowdeck::KeepFreedMemoryForReuse();
    glowdeck::PrepareHeadlessEnvironment();
    // Read before Qt sees them: the application object takes options of its
    // own out of argv ("--style" among them), which set-text needs.
    QStringList args;
    for (int k = 1; k < argc; ++k) args << QString::fromLocal8Bit(argv[k]);
    QGuiApplication app(argc, argv);
    if (args.isEmpty()) {
        std::fputs(glowdeck::OverviewHelp().toUtf8().constData(), stderr);
        return 2;
    }
    if (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(glowdeck::OverviewHelp().toUtf8().constData(), stdout);
        return 0;
    }
    if (args[0] == QLatin1String("--version")) {
        glowdeck::PrintOut(glowdeck::VersionText());
        return 0;
    }
    const QString command = args.takeFirst();
    // "COMMAND --help" explains the command instead of running it.
    const QString help = glowdeck::CommandHelp(command);
    if (!help.isEmpty() && args.contains(QStringLiteral("--help"))) {
        std::fputs(help.toUtf8().constData(), stdout);
        return 0;
    }
    try {
        if (command == QLatin1String("new")) return glowdeck::RunNew(args);
        if (command == QLatin1String("add-group")) return glowdeck::RunAddGroup(args);
        if (command == QLatin1String("add")) return glowdeck::RunAdd(args);
        if (command == QLatin1String("list")) return glowdeck::RunList(args);
        if (command == QLatin1String("clean")) return glowdeck::RunClean(args);
        if (command == QLatin1String("compile")) return glowdeck::RunCompile(args);
        if (command == QLatin1String("inspect")) return glowdeck::RunInspect(args);
        if (command == QLatin1String("render")) return glowdeck::RunRender(args);
        if (command == QLatin1String("send")) return glowdeck::RunSend(args);
        if (command == QLatin1String("ports")) return glowdeck::RunPorts(args);
        if (command == QLatin1String("ball")) return glowdeck::RunBall(args);
        if (command == QLatin1String("set-source")) return glowdeck::RunSetSource(args);
        if (command == QLatin1String("set-text")) return glowdeck::RunSetText(args);
        if (command == QLatin1String("set-interval")) return glowdeck::RunSetInterval(args);
        if (command == QLatin1String("set-threshold")) return glowdeck::RunSetThreshold(args);
        if (command == QLatin1String("set-dither")) return glowdeck::RunSetDither(args);
    } catch (const glowdeck::AccessError& e) {
        glowdeck::PrintErr(glowdeck::DamagedProjectText(e));
        return 1;
    } catch (const glowdeck::UsageError& e) {
        glowdeck::PrintErr(e.message);
        return 2;
    }
    glowdeck::PrintErr(
        QStringLiteral("unknown command: %1 (glowdeck-cli --help lists the commands)")
            .arg(command));
    return 2;
}
